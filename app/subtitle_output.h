#pragma once
// Subtitles over the picture: the one subtitle track of the current channel that
// is shown, or none. The menus and the S key choose; this puts the choice on
// screen. Window's thread only.
#include <string>

struct Chaine;

// Shows the subtitle track `index` of the channel's streams (its position in
// `Streams.subtitles`), or none when `index` is negative. False when it cannot be
// shown, with the French reason in `why`; nothing is shown then.
bool ShowSubtitles(const Chaine& channel, int index, std::wstring& why);

// Takes any subtitle off the picture (channel change, graph stopped).
void HideSubtitles();
