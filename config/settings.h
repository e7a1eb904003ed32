#pragma once
// The user's settings, kept in config.ini (section "Config") in the current directory.
#include <cstdint>

#include "config/track_preferences.h"

constexpr int kNameCapacity = 256;    // characters, terminator included
constexpr int kFolderCapacity = 512;  // characters, terminator included

extern wchar_t tunerName[kNameCapacity];
extern wchar_t receiverName[kNameCapacity];
extern wchar_t videoDecoderName[kNameCapacity];
extern wchar_t audioDecoderName[kNameCapacity];
extern wchar_t ac3DecoderName[kNameCapacity];
// Decoders of today's codecs; empty until the user picks one, and only then saved.
extern wchar_t h264DecoderName[kNameCapacity];
extern wchar_t hevcDecoderName[kNameCapacity];
extern wchar_t aacDecoderName[kNameCapacity];
extern wchar_t eac3DecoderName[kNameCapacity];
extern wchar_t city[kNameCapacity];
extern std::int32_t strictSearch;
extern std::int32_t startChannelIndex;
extern wchar_t videoFolder[kFolderCapacity];
extern wchar_t snapshotFolder[kFolderCapacity];
extern bool announceNowPlaying;
extern bool alwaysOnTop;
// How long the scan waits for the tuner to lock ("Attente verrouillage", in
// milliseconds, at most kMaxLockWaitMs). Saved only when it is not the default.
extern std::uint32_t lockWaitMs;
// Minutes recorded before and after a programme set from the guide ("Marge
// avant", "Marge apres"). Saved only once they differ from the defaults or from
// what the file held.
constexpr int kDefaultMarginBefore = 2;
constexpr int kDefaultMarginAfter = 10;
extern int marginBefore;
extern int marginAfter;
// The priority command (40033, 40039, 40034 or 40040) for the saved "Priorité";
// start-up applies it. What is saved is the process's priority at that moment.
extern int priorityCommand;
// "Langue audio" and "Sous-titres": read only, never written (the user edits them).
extern TrackPreferences trackPreferences;

// Reads every key (defaults for missing ones).
void LoadSettings();
// Writes all thirteen keys, in their fixed order, then each decoder key of today's
// codecs that holds a name and the lock wait when it is not the default, with `channelIndex` as the current
// channel's index (-1: none selected).
void SaveSettings(std::int32_t channelIndex);
