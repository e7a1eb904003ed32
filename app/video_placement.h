#pragma once
// Placing the picture over the client area, less the status bar and the
// playback bar when it is shown.
void PlaceVideo();
