#pragma once
// What the audio and subtitle menus call each track of a channel, and which
// track the viewer's preferences choose when a channel starts.
#include <cstddef>
#include <string>

#include "channels/service_streams.h"

// "Français", "Version originale (anglais)", "Audiodescription", with the codec
// in the parentheses when the channel's tracks are not all of one codec
// ("Français (AC-3)").
std::wstring AudioTrackLabel(const ServiceStreams& streams, std::size_t index);

// "Français", "Français (sourds et malentendants)", "Télétexte 888".
std::wstring SubtitleTrackLabel(const SubtitleTrack& track);

// The viewer's wishes, as config.ini keeps them.
enum class AudioPreference { Language, OriginalVersion };
enum class SubtitlePreference { Off, On, HardOfHearing };

// The audio track to play: the original version when asked for and offered,
// else the first main track of `language` (ISO 639-2, "fra"), else the first
// main track, else the first track; -1 when the channel lists none.
int ChooseAudioTrack(const ServiceStreams& streams, AudioPreference preference, std::string_view language);

// The subtitle track to show: none when off; else one in `language`, of the
// hard of hearing when asked for and offered, else a plain one (DVB before
// teletext); -1 for none.
int ChooseSubtitleTrack(const ServiceStreams& streams, SubtitlePreference preference, std::string_view language);

// The choice after `current` in the "Sous-titres" menu's order ("Aucun" is -1,
// then each track), wrapping: what the S key selects.
int NextSubtitleChoice(const ServiceStreams& streams, int current);
