#include "channels/track_labels.h"

#include <algorithm>

namespace {

struct LanguageName {
    const char* codes[2];
    const wchar_t* name;  // as it follows "Version originale (", lower case
};

// The languages French channels broadcast, by their bibliographic and
// terminological codes.
constexpr LanguageName kLanguages[] = {
    {{"fra", "fre"}, L"fran\u00e7ais"},   {{"eng", "eng"}, L"anglais"},  {{"deu", "ger"}, L"allemand"},
    {{"spa", "spa"}, L"espagnol"},         {{"ita", "ita"}, L"italien"},  {{"por", "por"}, L"portugais"},
    {{"nld", "dut"}, L"n\u00e9erlandais"}, {{"ara", "ara"}, L"arabe"},    {{"jpn", "jpn"}, L"japonais"},
    {{"rus", "rus"}, L"russe"},            {{"zho", "chi"}, L"chinois"},  {{"bre", "bre"}, L"breton"},
};

std::wstring LowerName(std::string_view code)
{
    for (const LanguageName& l : kLanguages)
        if (code == l.codes[0] || code == l.codes[1])
            return l.name;
    return std::wstring(code.begin(), code.end());  // three ASCII letters, or empty
}

std::wstring Capitalised(std::wstring name)
{
    if (!name.empty() && name[0] >= L'a' && name[0] <= L'z')
        name[0] = static_cast<wchar_t>(name[0] - L'a' + L'A');
    return name;
}

bool MixedCodecs(const ServiceStreams& streams)
{
    for (std::size_t i = 1; i < streams.audioCount && i < kMaxAudioTracks; ++i)
        if (streams.audio[i].codec != streams.audio[0].codec)
            return true;
    return false;
}

std::wstring WithQualifiers(std::wstring label, std::wstring qualifiers)
{
    return qualifiers.empty() ? label : label + L" (" + qualifiers + L")";
}

void AddQualifier(std::wstring& qualifiers, const std::wstring& more)
{
    if (more.empty())
        return;
    if (!qualifiers.empty())
        qualifiers += L", ";
    qualifiers += more;
}

bool IsLanguage(const char (&code)[4], std::string_view language)
{
    return !language.empty() && LanguageOf(code) == language;
}

}  // namespace

std::wstring AudioTrackLabel(const ServiceStreams& streams, std::size_t index)
{
    if (index >= streams.audioCount || index >= kMaxAudioTracks)
        return {};
    const AudioTrack& t = streams.audio[index];
    std::wstring label;
    std::wstring qualifiers;
    const std::wstring spoken = LowerName(LanguageOf(t.spokenLanguage));
    const std::wstring language = LowerName(LanguageOf(t.language));
    switch (t.kind) {
    case AudioKind::OriginalVersion:
        label = L"Version originale";
        AddQualifier(qualifiers, spoken);
        break;
    case AudioKind::AudioDescription: {
        // Described in French unless a track says otherwise.
        const std::string_view code = t.spokenLanguage[0] ? LanguageOf(t.spokenLanguage) : LanguageOf(t.language);
        if (code != "qad" && code != "fra" && code != "fre")
            AddQualifier(qualifiers, LowerName(code));
        label = L"Audiodescription";
        break;
    }
    case AudioKind::CleanAudio:
        label = Capitalised(language.empty() ? L"son" : language);
        AddQualifier(qualifiers, L"malentendants");
        break;
    case AudioKind::SpokenSubtitles:
        label = L"Sous-titres lus";
        AddQualifier(qualifiers, language);
        break;
    case AudioKind::Main:
    default:
        label = language.empty() ? L"Piste " + std::to_wstring(index + 1) : Capitalised(language);
        break;
    }
    if (MixedCodecs(streams)) {
        const std::string_view codec = AudioCodecName(t.codec);
        AddQualifier(qualifiers, std::wstring(codec.begin(), codec.end()));
    }
    return WithQualifiers(label, qualifiers);
}

std::wstring SubtitleTrackLabel(const SubtitleTrack& track)
{
    std::wstring label;
    if (track.format == SubtitleFormat::Teletext) {
        static const wchar_t hex[] = L"0123456789ABCDEF";
        label = L"T\u00e9l\u00e9texte ";
        for (int shift = 8; shift >= 0; shift -= 4)
            label += hex[track.teletextPage >> shift & 0x0F];
    } else {
        const std::wstring language = LowerName(LanguageOf(track.language));
        label = language.empty() ? L"Sous-titres" : Capitalised(language);
    }
    return IsHardOfHearing(track) ? label + L" (sourds et malentendants)" : label;
}

int ChooseAudioTrack(const ServiceStreams& streams, AudioPreference preference, std::string_view language)
{
    const int count = static_cast<int>(std::min<std::size_t>(streams.audioCount, kMaxAudioTracks));
    if (count == 0)
        return -1;
    if (preference == AudioPreference::OriginalVersion)
        for (int i = 0; i < count; ++i)
            if (streams.audio[i].kind == AudioKind::OriginalVersion)
                return i;
    for (int i = 0; i < count; ++i)
        if (streams.audio[i].kind == AudioKind::Main && IsLanguage(streams.audio[i].language, language))
            return i;
    for (int i = 0; i < count; ++i)
        if (streams.audio[i].kind == AudioKind::Main)
            return i;
    return 0;
}

int ChooseSubtitleTrack(const ServiceStreams& streams, SubtitlePreference preference, std::string_view language)
{
    if (preference == SubtitlePreference::Off)
        return -1;
    const int count = static_cast<int>(std::min<std::size_t>(streams.subtitleCount, kMaxSubtitleTracks));
    const bool wantHardOfHearing = preference == SubtitlePreference::HardOfHearing;
    // Best first: the kind asked for in the language, DVB before teletext, then
    // the other kind; a track of another language only when none is in it.
    int best = -1;
    int bestScore = -1;
    for (int i = 0; i < count; ++i) {
        const SubtitleTrack& t = streams.subtitles[i];
        const int score = (IsLanguage(t.language, language) ? 4 : 0) + (IsHardOfHearing(t) == wantHardOfHearing ? 2 : 0) +
                          (t.format == SubtitleFormat::Dvb ? 1 : 0);
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

int NextSubtitleChoice(const ServiceStreams& streams, int current)
{
    const int count = static_cast<int>(std::min<std::size_t>(streams.subtitleCount, kMaxSubtitleTracks));
    if (current < -1 || current >= count - 1)
        return -1;
    return current + 1;
}
