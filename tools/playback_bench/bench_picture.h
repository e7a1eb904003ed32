#pragma once
// What the playback benchmarks share: timing, the report line, and the
// picture's part of the main window read from inside the program.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "program_driver.h"

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to);
double MillisecondsSince(const LARGE_INTEGER& from);
// Prints the median, minimum and maximum of `times`; -1 counts as a failure.
void Report(const char* what, std::vector<double> times);

// The rows of the client area that the picture keeps whether or not the
// playback bar is shown: above the bar's height and the status bar. The bar's
// own texts and slider change every second and are no picture.
int PictureRows(HWND window);
// The picture's part of the window, rows from the top.
WindowPicture PicturePart(HWND window, const std::wstring& dir);
// Its pixels only.
std::vector<std::uint32_t> PictureArea(HWND window, const std::wstring& dir);
// How long one read of the picture takes: the resolution of the figures.
double TimeRead(HWND window, const std::wstring& dir);
