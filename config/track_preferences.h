#pragma once
// The viewer's track wishes as config.ini keeps them: "Langue audio" ("fra" by
// default, any ISO 639-2 code, or "vo" for the original version when a channel
// offers it) and "Sous-titres" ("non" by default, "oui", or "sourds" for the
// subtitles of the deaf and hard of hearing first). The program only reads
// them: they are edited in the file.
#include <string>
#include <string_view>

#include "channels/track_labels.h"

struct TrackPreferences {
    AudioPreference audio = AudioPreference::Language;
    std::string language = "fra";  // the language of the sound, and of the subtitles
    SubtitlePreference subtitles = SubtitlePreference::Off;
};

// Case and surrounding blanks do not matter. An audio text that is neither "vo"
// nor three letters, and a subtitle text that is neither "oui" nor "sourds",
// give the defaults.
TrackPreferences TrackPreferencesFromText(std::wstring_view audio, std::wstring_view subtitles);
