#pragma once
// Holds the live picture and sound while a recording or the time-shift buffer
// plays: the live demultiplexer's video and sound pins lose their PIDs, so the
// live decoders get nothing more (the picture stays on its last frame, the
// sound stops), while the tuner, the tap and the section readers go on as
// before. Letting go maps the same PIDs again. Main window's thread.
#include <cstdint>
#include <vector>

class LiveHold {
public:
    LiveHold();
    ~LiveHold();
    LiveHold(const LiveHold&) = delete;
    LiveHold& operator=(const LiveHold&) = delete;

private:
    // The PIDs each pin carried (video, sound, AC-3), in that order.
    std::vector<std::uint32_t> held_[3];
};
