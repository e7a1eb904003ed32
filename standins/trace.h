#pragma once
// The stand-ins' trace: one line per tuning call and per filter state change, appended
// to the file named by BRISOME_STANDIN_TRACE (nothing is written when it is not set).
// Lines from several threads and filters never interleave.

// `line` is plain ASCII, without its line end.
void TraceLine(const char* line);
