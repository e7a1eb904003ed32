// The track wishes of config.ini as the program reads them.
#include "config/track_preferences.h"

#include <gtest/gtest.h>

namespace {

TEST(TrackPreferences, TextsGiveTheWishesAndAnythingElseTheDefaults)
{
    const struct {
        const wchar_t* audio;
        const wchar_t* subtitles;
        AudioPreference preference;
        const char* language;
        SubtitlePreference wish;
    } cases[] = {
        {L"", L"", AudioPreference::Language, "fra", SubtitlePreference::Off},
        {L"fra", L"non", AudioPreference::Language, "fra", SubtitlePreference::Off},
        {L"vo", L"oui", AudioPreference::OriginalVersion, "fra", SubtitlePreference::On},
        {L" VO ", L"Sourds", AudioPreference::OriginalVersion, "fra", SubtitlePreference::HardOfHearing},
        {L"ENG", L"OUI", AudioPreference::Language, "eng", SubtitlePreference::On},
        {L"deu", L"sourds ", AudioPreference::Language, "deu", SubtitlePreference::HardOfHearing},
        // Not a language code, nor a known wish.
        {L"fr", L"o", AudioPreference::Language, "fra", SubtitlePreference::Off},
        {L"fran\u00e7ais", L"oui oui", AudioPreference::Language, "fra", SubtitlePreference::Off},
        {L"e1g", L"1", AudioPreference::Language, "fra", SubtitlePreference::Off},
        {L"v o", L"vrai", AudioPreference::Language, "fra", SubtitlePreference::Off},
    };
    for (const auto& c : cases) {
        const TrackPreferences prefs = TrackPreferencesFromText(c.audio, c.subtitles);
        EXPECT_EQ(prefs.audio, c.preference) << c.audio;
        EXPECT_EQ(prefs.language, c.language) << c.audio;
        EXPECT_EQ(prefs.subtitles, c.wish) << c.subtitles;
    }
}

}  // namespace
