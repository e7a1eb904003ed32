#pragma once
// The guide reader: a thread that takes the EIT present/following sections of
// PID 0x12, both for this multiplex (table_id 0x4E) and for the others (0x4F),
// and keeps two events per channel in the channel records. When the watched
// channel's events change it posts WM_GUIDE_UPDATED to the window given at start.
//
// The sections come from the sections-and-tables filter when its streams can be
// used on the reader's thread, else from the tap's section reader: the filter
// is absent from recent Windows, may refuse, and the buffers its streams fill
// are raw pointers that no cross-apartment proxy can carry.
//
// Everything here is called on the user-interface thread.
#include <windows.h>

#include <cstdint>

#include "channels/chaine.h"
#include "channels/psi/section_reader.h"
#include "graph/mpeg2_data.h"

// Posted, both parameters 0, when the watched channel's events changed. Until
// the window calls AcknowledgeGuideUpdate, no other is posted.
constexpr UINT WM_GUIDE_UPDATED = WM_USER;

// Starts the thread, which reads from `tables` (the graph's sections-and-tables
// filter, or null) or, when that filter cannot serve it, from `tap` (or null);
// `channels` must keep its records in place until StopGuideReader. With neither
// nothing starts and the guide stays empty. A reader already running is stopped
// first.
void StartGuideReader(IMpeg2Data* tables, ChannelList& channels, std::int32_t watched, HWND window,
                      SectionReader* tap = nullptr);

// Asks the thread to end, waits for it (a bounded time) and releases the
// streams. Must run before the sections-and-tables filter is released. Nothing
// when no reader runs.
void StopGuideReader();

// The channel whose changes are posted from now on.
void WatchGuideChannel(std::int32_t channel);

// The window took the last WM_GUIDE_UPDATED and is about to read the slots.
void AcknowledgeGuideUpdate();
