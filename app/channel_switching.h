#pragma once
// Channel changes as the user sees them: the graph delivers the new channel, then the
// shell's state, the menus and the status bar follow it.
#include <cstdint>

// Makes channel `index` current: retunes only across multiplexes, maps its PIDs and
// goes back to the first audio track. Nothing for the current channel or an index
// outside the list.
void SelectChannel(std::int32_t index);
// Selects the first channel whose Numero is `number`; nothing when none has it.
void SelectChannelByNumber(std::int32_t number);
