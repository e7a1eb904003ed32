// The cost of the time-shift buffer on the streaming thread: each run of the
// live service's packets written into the ring file at its place. The file is a
// real one (in $TMPDIR, else /tmp) of 256 MB, so the runs wrap around it as in
// an hour's buffer. Samples of 7 packets (1316 bytes, the smallest a tuner
// hands) and of 348 packets (64 KB). "core_pct_at_31.7Mbps" is the share of one
// core the buffer takes at the highest DVB-T multiplex rate; the time counted
// is the process's CPU time, the kernel's share of the writes included.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "record/playback/time_shift_buffer.h"
#include "tests/support/packets.h"

using namespace tstest;

namespace {

constexpr double kPacketsPerSecondAt31_7 = 31.7e6 / 8 / 188;
constexpr std::uint64_t kCapacity = 256ull << 20;

class PosixRingFile final : public RingFile {
public:
    PosixRingFile()
    {
        const char* dir = std::getenv("TMPDIR");
        std::string path = std::string(dir && *dir ? dir : "/tmp") + "/bench_time_shift_XXXXXX";
        fd_ = mkstemp(path.data());
        if (fd_ >= 0)
            unlink(path.c_str());  // gone when closed, as the program's own buffer
    }
    ~PosixRingFile() override
    {
        if (fd_ >= 0)
            close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size, unsigned long& error) override
    {
        const ssize_t done = pwrite(fd_, data, size, static_cast<off_t>(offset));
        error = done == static_cast<ssize_t>(size) ? 0 : 28;
        return error == 0;
    }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override
    {
        const ssize_t done = pread(fd_, out, size, static_cast<off_t>(offset));
        return done > 0 ? static_cast<std::size_t>(done) : 0;
    }

private:
    int fd_ = -1;
};

// About 2 MB of one service's packets (video, sound) among others of the multiplex.
const Bytes& Stream()
{
    static const Bytes stream = [] {
        Bytes out;
        for (int i = 0; out.size() < 2'000'000; ++i) {
            Bytes packet = Pattern(188, static_cast<std::uint8_t>(i));
            packet[0] = 0x47;
            packet[1] = 0x01;
            packet[2] = static_cast<std::uint8_t>(i % 5 == 0 ? 0x01 : 0x00);  // 0x100 video, 0x101 sound
            Append(out, packet);
        }
        return out;
    }();
    return stream;
}

void BM_TimeShiftWrite(benchmark::State& state)
{
    const Bytes& stream = Stream();
    const auto sample = static_cast<std::size_t>(state.range(0)) * 188;
    PosixRingFile file;
    if (!file.ok()) {
        state.SkipWithError("no temporary file");
        return;
    }
    std::int64_t clock = 0;
    TimeShiftBuffer buffer(file, kCapacity, 3'600'000, PidSelection::Multiplex(), [&] { return clock += 1; },
                           nullptr);
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += sample)
            buffer.OnPackets(stream.data() + at, std::min(sample, stream.size() - at) / 188);
    }
    const auto packets = static_cast<double>(stream.size() / 188);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
    state.counters["core_pct_at_31.7Mbps"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * packets / (kPacketsPerSecondAt31_7 * 100),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TimeShiftWrite)->Arg(7)->Arg(348);

}  // namespace

BENCHMARK_MAIN();
