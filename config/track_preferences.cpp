#include "config/track_preferences.h"

namespace {

std::wstring_view Trimmed(std::wstring_view text)
{
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t'))
        text.remove_suffix(1);
    return text;
}

// ASCII letters lowered; empty when the text holds anything else.
std::string LowerAscii(std::wstring_view text)
{
    std::string lowered;
    for (wchar_t c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c < L'a' || c > L'z')
            return {};
        lowered += static_cast<char>(c);
    }
    return lowered;
}

}  // namespace

TrackPreferences TrackPreferencesFromText(std::wstring_view audio, std::wstring_view subtitles)
{
    TrackPreferences prefs;
    const std::string language = LowerAscii(Trimmed(audio));
    if (language == "vo")
        prefs.audio = AudioPreference::OriginalVersion;
    else if (language.size() == 3)
        prefs.language = language;

    const std::string wish = LowerAscii(Trimmed(subtitles));
    if (wish == "oui")
        prefs.subtitles = SubtitlePreference::On;
    else if (wish == "sourds")
        prefs.subtitles = SubtitlePreference::HardOfHearing;
    return prefs;
}
