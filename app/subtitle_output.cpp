#include "app/subtitle_output.h"

#include "channels/chaine.h"
#include "graph/subtitle_path.h"

bool ShowSubtitles(const Chaine& channel, int index, std::wstring& why)
{
    if (index < 0) {
        HideSubtitleTrack();
        return true;
    }
    if (index >= channel.Streams.subtitleCount || index >= static_cast<int>(kMaxSubtitleTracks)) {
        HideSubtitleTrack();
        why = L"Cette cha\u00eene n'a pas cette piste de sous-titres.";
        return false;
    }
    if (!ShowSubtitleTrack(channel.Streams.subtitles[index], why)) {
        HideSubtitleTrack();
        return false;
    }
    return true;
}

void HideSubtitles() { HideSubtitleTrack(); }
