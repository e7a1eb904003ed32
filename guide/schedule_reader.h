#pragma once
// The schedule reader: a thread that takes the EIT sections of PID 0x12 (the
// present/following ones and the schedule, 0x4E to 0x6F) and the TDT/TOT of PID
// 0x14 from the tap's section reader, keeps the schedule, and writes the changed
// services to the guide (guide.db, or memory) in batches: one transaction a
// second or every few hundred events, never on the window's thread.
//
// Start and stop are called on the user-interface thread.
#include <windows.h>

#include <string>

#include "channels/chaine.h"
#include "channels/psi/section_reader.h"

// Posted, both parameters 0, when the guide has something to tell the user
// (guide.db could not be used and the guide stays in memory): the window takes
// the text with TakeGuideNotice.
constexpr UINT WM_GUIDE_NOTICE = WM_APP + 0x30;

// Starts the thread on `tap`. Services are named from `channels` (read here,
// once). `window` receives WM_GUIDE_NOTICE. A reader already running is stopped
// first.
void StartScheduleReader(SectionReader& tap, const ChannelList& channels, HWND window);

// Asks the thread to end, writes what it still holds, and waits for it (a
// bounded time). Must run before the tap goes. Nothing when no reader runs.
void StopScheduleReader();

// Keeps `notice` (French, UTF-8) for the window and posts WM_GUIDE_NOTICE, so
// that it is shown once the window is free to, without holding up start-up or
// the reader. Only the first notice of a session is kept.
void PostGuideNotice(HWND window, const std::string& notice);

// The notice posted, once; empty afterwards.
std::wstring TakeGuideNotice();
