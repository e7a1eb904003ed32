#pragma once
// Placing the picture over the client area, less the status bar.
void PlaceVideo();
