#include "app/subtitle_output.h"

// The presentation path is not built yet: a chosen track is remembered by the
// menus and nothing is drawn.
bool ShowSubtitles(const Chaine&, int, std::wstring&) { return true; }

void HideSubtitles() {}
