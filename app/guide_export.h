#pragma once
// "Exporter le guide (XMLTV)...": the whole guide written as an XMLTV file the
// user names in the save-file dialog.
#include <windows.h>

#include <string>

// Asks for the file (default guide.xml in the video folder; the dialog asks
// before replacing a file) and writes it. A failure is told in French.
void ExportGuideAsXmltv(HWND owner);

// Writes `document` to `path` whole or not at all: through a file beside it,
// then put in its place. False when it could not be written.
bool WriteWholeFile(const std::wstring& path, const std::string& document);
