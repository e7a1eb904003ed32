#pragma once
// playback-bench seek: times seeks within an hour-long recording.
int RunSeekBench(int rounds);
