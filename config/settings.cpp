#include "config/settings.h"
#include "config/time_shift_settings.h"

#include <windows.h>

#include <cwchar>
#include <string>

#include "channels/lock_wait.h"
#include "config/settings_rules.h"

wchar_t tunerName[kNameCapacity];
wchar_t receiverName[kNameCapacity];
wchar_t videoDecoderName[kNameCapacity];
wchar_t audioDecoderName[kNameCapacity];
wchar_t ac3DecoderName[kNameCapacity];
wchar_t h264DecoderName[kNameCapacity];
wchar_t hevcDecoderName[kNameCapacity];
wchar_t aacDecoderName[kNameCapacity];
wchar_t eac3DecoderName[kNameCapacity];
wchar_t city[kNameCapacity];
std::int32_t strictSearch;
std::int32_t startChannelIndex;
wchar_t videoFolder[kFolderCapacity];
wchar_t snapshotFolder[kFolderCapacity];
bool announceNowPlaying;
bool alwaysOnTop;
int priorityCommand;
std::uint32_t lockWaitMs = kDefaultLockWaitMs;
int marginBefore = kDefaultMarginBefore;
int marginAfter = kDefaultMarginAfter;
wchar_t timeShiftFolder[kFolderCapacity];
int timeShiftMinutes = kDefaultTimeShiftMinutes;
TrackPreferences trackPreferences;

namespace {

constexpr wchar_t kSection[] = L"Config";

constexpr wchar_t kTuner[] = L"Tuner TNT";
constexpr wchar_t kReceiver[] = L"R\u00e9cepteur TNT";
constexpr wchar_t kVideoDecoder[] = L"Filtre vid\u00e9o";
constexpr wchar_t kAudioDecoder[] = L"Filtre audio";
constexpr wchar_t kAc3Decoder[] = L"Filtre AC3";
constexpr wchar_t kCity[] = L"Ville";
constexpr wchar_t kStrict[] = L"Recherche stricte";
constexpr wchar_t kChannelIndex[] = L"Index chaine courante";
constexpr wchar_t kVideoFolder[] = L"R\u00e9pertoire vid\u00e9o";
constexpr wchar_t kSnapshotFolder[] = L"R\u00e9pertoire screenshots";
constexpr wchar_t kPriority[] = L"Priorit\u00e9";
constexpr wchar_t kAnnounce[] = L"Envoie programme regard\u00e9 \u00e0 MSN";
constexpr wchar_t kOnTop[] = L"Fen\u00eatre toujours devant";
constexpr wchar_t kLockWait[] = L"Attente verrouillage";
constexpr wchar_t kAudioLanguage[] = L"Langue audio";
constexpr wchar_t kSubtitles[] = L"Sous-titres";

// A margin's key, its default and the value read at start-up: a value neither
// the default nor changed since is not written, so a text the user typed that
// is not a count is left alone.
struct MarginKey {
    const wchar_t* key;
    int* value;
    int fallback;
    int loaded;
};
MarginKey margins[] = {
    {L"Marge avant", &marginBefore, kDefaultMarginBefore, kDefaultMarginBefore},
    {L"Marge apres", &marginAfter, kDefaultMarginAfter, kDefaultMarginAfter},
    {L"Duree tampon", &timeShiftMinutes, kDefaultTimeShiftMinutes, kDefaultTimeShiftMinutes},
};
constexpr wchar_t kTimeShiftFolder[] = L"Dossier tampon";

struct OptionalDecoderKey {
    const wchar_t* key;
    wchar_t* name;
};
const OptionalDecoderKey kModernDecoders[] = {
    {L"Filtre H.264", h264DecoderName},
    {L"Filtre HEVC", hevcDecoderName},
    {L"Filtre AAC", aacDecoderName},
    {L"Filtre E-AC-3", eac3DecoderName},
};

// The current directory at the moment of the call, then "\config.ini".
std::wstring SettingsPath()
{
    wchar_t dir[1024] = L"";
    DWORD n = GetCurrentDirectoryW(1024, dir);
    if (n == 0 || n >= 1024)
        dir[0] = L'\0';
    return std::wstring(dir) + L"\\config.ini";
}

void ReadString(const wchar_t* key, const wchar_t* fallback, wchar_t* out, DWORD capacity,
                const std::wstring& path)
{
    GetPrivateProfileStringW(kSection, key, fallback, out, capacity, path.c_str());
}

bool ReadFlag(const wchar_t* key, bool current, const std::wstring& path)
{
    wchar_t text[512] = L"";
    ReadString(key, L"", text, 512, path);
    return FlagFromText(text, current);
}

PriorityLevel CurrentPriorityLevel()
{
    switch (GetPriorityClass(GetCurrentProcess())) {
    case NORMAL_PRIORITY_CLASS: return PriorityLevel::Normal;
    case HIGH_PRIORITY_CLASS: return PriorityLevel::High;
    case BELOW_NORMAL_PRIORITY_CLASS: return PriorityLevel::BelowNormal;
    case ABOVE_NORMAL_PRIORITY_CLASS: return PriorityLevel::AboveNormal;
    default: return PriorityLevel::Other;
    }
}

// A count of milliseconds written by hand: digits only, else the default; a
// larger count than the scan allows is held to the largest.
std::uint32_t ReadLockWait(const std::wstring& path)
{
    wchar_t text[32] = L"";
    ReadString(kLockWait, L"", text, 32, path);
    if (text[0] == L'\0')
        return kDefaultLockWaitMs;
    std::uint32_t value = 0;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c < L'0' || *c > L'9')
            return kDefaultLockWaitMs;
        if (value <= kMaxLockWaitMs)  // past it the count only needs to stay past it
            value = value * 10 + static_cast<std::uint32_t>(*c - L'0');
    }
    return value > kMaxLockWaitMs ? kMaxLockWaitMs : value;
}

void Write(const wchar_t* key, const wchar_t* value, const std::wstring& path)
{
    WritePrivateProfileStringW(kSection, key, value, path.c_str());
}

}  // namespace

void LoadSettings()
{
    const std::wstring path = SettingsPath();

    ReadString(kTuner, L"", tunerName, kNameCapacity, path);
    ReadString(kReceiver, L"", receiverName, kNameCapacity, path);
    ReadString(kVideoDecoder, L"", videoDecoderName, kNameCapacity, path);
    ReadString(kAudioDecoder, L"", audioDecoderName, kNameCapacity, path);
    ReadString(kAc3Decoder, L"", ac3DecoderName, kNameCapacity, path);
    ReadString(kCity, L"", city, kNameCapacity, path);
    for (const OptionalDecoderKey& d : kModernDecoders)
        ReadString(d.key, L"", d.name, kNameCapacity, path);

    strictSearch = static_cast<std::int32_t>(GetPrivateProfileIntW(kSection, kStrict, 1, path.c_str()));
    startChannelIndex = static_cast<std::int32_t>(GetPrivateProfileIntW(kSection, kChannelIndex, 0, path.c_str()));

    wchar_t currentDir[kFolderCapacity] = L"";
    DWORD n = GetCurrentDirectoryW(kFolderCapacity, currentDir);
    if (n == 0 || n >= kFolderCapacity)
        currentDir[0] = L'\0';
    ReadString(kVideoFolder, currentDir, videoFolder, kFolderCapacity, path);
    ReadString(kSnapshotFolder, currentDir, snapshotFolder, kFolderCapacity, path);

    wchar_t priority[kFolderCapacity] = L"";
    ReadString(kPriority, L"", priority, kFolderCapacity, path);
    priorityCommand = PriorityCommandFromText(priority);

    announceNowPlaying = ReadFlag(kAnnounce, announceNowPlaying, path);
    alwaysOnTop = ReadFlag(kOnTop, alwaysOnTop, path);
    lockWaitMs = ReadLockWait(path);
    for (MarginKey& m : margins) {
        wchar_t text[32] = L"";
        ReadString(m.key, L"", text, 32, path);
        *m.value = m.loaded = MarginFromText(text, m.fallback);
    }
    // A buffer of no length could not hold the pause.
    if (timeShiftMinutes < 1)
        timeShiftMinutes = kDefaultTimeShiftMinutes;
    ReadString(kTimeShiftFolder, L"", timeShiftFolder, kFolderCapacity, path);
    wchar_t audio[32] = L"";
    wchar_t subtitles[32] = L"";
    ReadString(kAudioLanguage, L"", audio, 32, path);
    ReadString(kSubtitles, L"", subtitles, 32, path);
    trackPreferences = TrackPreferencesFromText(audio, subtitles);
}

void SaveSettings(std::int32_t channelIndex)
{
    const std::wstring path = SettingsPath();
    wchar_t number[16];

    Write(kTuner, tunerName, path);
    Write(kReceiver, receiverName, path);
    Write(kVideoDecoder, videoDecoderName, path);
    Write(kAudioDecoder, audioDecoderName, path);
    Write(kAc3Decoder, ac3DecoderName, path);
    Write(kCity, city, path);
    Write(kStrict, strictSearch != 0 ? L"1" : L"0", path);
    std::swprintf(number, 16, L"%d", static_cast<int>(channelIndex));
    Write(kChannelIndex, number, path);
    Write(kVideoFolder, videoFolder, path);
    Write(kSnapshotFolder, snapshotFolder, path);
    Write(kPriority, PriorityTextFor(CurrentPriorityLevel()), path);
    Write(kAnnounce, FlagText(announceNowPlaying), path);
    Write(kOnTop, FlagText(alwaysOnTop), path);
    for (const OptionalDecoderKey& d : kModernDecoders)
        if (d.name[0] != L'\0')
            Write(d.key, d.name, path);
    if (lockWaitMs != kDefaultLockWaitMs) {
        std::swprintf(number, 16, L"%u", static_cast<unsigned>(lockWaitMs));
        Write(kLockWait, number, path);
    }
    for (const MarginKey& m : margins) {
        if (*m.value == m.fallback && *m.value == m.loaded)
            continue;
        std::swprintf(number, 16, L"%d", *m.value);
        Write(m.key, number, path);
    }
    if (timeShiftFolder[0] != L'\0')
        Write(kTimeShiftFolder, timeShiftFolder, path);
}
