#pragma once
// Which transport-stream packets a recording keeps, and the walk that finds them in
// a sample as runs of consecutive kept packets, so that each run is written with
// one call straight from the sample's buffer.
//
// The walk trusts nothing in the sample: it reads only the bytes it is given, takes
// a packet only where a sync byte 0x47 stands with 188 bytes after it, and after a
// misaligned stretch resynchronises on the next sync byte. A trailing fragment
// shorter than a packet is dropped.
#include <bitset>
#include <cstddef>
#include <cstdint>

class PidSelection {
public:
    // Every PID of the multiplex but the null packets (0x1FFF).
    static PidSelection Multiplex();
    // One service: the programme association table (PID 0), its programme map, its
    // video and the chosen audio PID, plus its clock reference PID when that one is
    // carried apart (not 0x1FFF). A programme map PID of 0 means the service is not
    // known well enough to pick its PIDs: the whole multiplex is kept instead.
    static PidSelection Service(int pmtPid, int videoPid, int audioPid, int pcrPid);

    bool Keeps(std::uint16_t pid) const noexcept { return kept_[pid & 0x1FFF]; }
    std::size_t Count() const noexcept { return kept_.count(); }

private:
    void Add(int pid);
    std::bitset<0x2000> kept_;
};

// Receives the runs of kept packets, in stream order.
class PacketRunSink {
public:
    virtual ~PacketRunSink() = default;
    // `size` is a whole number of packets; false stops the walk.
    virtual bool WriteRun(const std::uint8_t* bytes, std::size_t size) = 0;
};

struct FilterResult {
    std::size_t packetsKept = 0;
    std::size_t runsWritten = 0;
    std::size_t bytesSkipped = 0;  // misaligned or trailing bytes not taken as packets
    bool sinkFailed = false;
};

// Walks `length` bytes at `data` (null allowed when `length` is 0).
FilterResult FilterPackets(const std::uint8_t* data, std::size_t length, const PidSelection& selection,
                           PacketRunSink& sink);
