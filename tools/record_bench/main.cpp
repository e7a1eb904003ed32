// Times the recorder's packet walk and file writing on a transport stream file, in
// service and multiplex mode, the way the streaming thread does it: the stream is
// handed over in samples, every run of kept packets goes out with one write, and
// the file is flushed to the disk at the end.
//
//   record_bench INPUT OUTDIR PMT VIDEO AUDIO PCR [SAMPLE_BYTES]
//
// PIDs in decimal or 0x hex. Prints one line per mode.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "record/packet_filter.h"

namespace {

class PosixSink : public PacketRunSink {
public:
    PosixSink(int fd, bool perPacket) : fd_(fd), perPacket_(perPacket) {}
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override
    {
        const std::size_t step = perPacket_ ? kTsPacketSize : size;
        for (std::size_t done = 0; done < size; done += step) {
            ++writes;
            if (write(fd_, bytes + done, step) != static_cast<ssize_t>(step))
                return false;
        }
        return true;
    }
    std::size_t writes = 0;

private:
    int fd_;
    bool perPacket_;
};

bool Run(const char* label, const std::vector<std::uint8_t>& stream, const PidSelection& selection,
         const std::string& outPath, std::size_t sampleBytes, bool perPacket)
{
    const int fd = open(outPath.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) {
        std::perror(outPath.c_str());
        return false;
    }
    PosixSink sink(fd, perPacket);
    std::size_t kept = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t offset = 0; offset < stream.size(); offset += sampleBytes) {
        const std::size_t length = std::min(sampleBytes, stream.size() - offset);
        const FilterResult result = FilterPackets(stream.data() + offset, length, selection, sink);
        kept += result.packetsKept;
        if (result.sinkFailed) {
            std::perror("write");
            close(fd);
            return false;
        }
    }
    fsync(fd);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close(fd);
    const double packets = static_cast<double>(stream.size() / kTsPacketSize);
    std::printf("%-26s %9.1f MB/s %12.0f packets/s  kept %9zu of %9.0f packets  %.4f writes/kept packet  %.3f s\n",
                label, static_cast<double>(stream.size()) / 1e6 / seconds, packets / seconds, kept, packets,
                kept ? static_cast<double>(sink.writes) / static_cast<double>(kept) : 0.0, seconds);
    return true;
}

int Pid(const char* text)
{
    return static_cast<int>(std::strtol(text, nullptr, 0));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 7) {
        std::fprintf(stderr, "usage: record_bench INPUT OUTDIR PMT VIDEO AUDIO PCR [SAMPLE_BYTES]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (stream.empty()) {
        std::fprintf(stderr, "record_bench: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string outDir = argv[2];
    const std::size_t sampleBytes = argc > 7 ? std::strtoul(argv[7], nullptr, 0) : 188 * 348;
    const PidSelection service = PidSelection::Service(Pid(argv[3]), Pid(argv[4]), Pid(argv[5]), Pid(argv[6]));
    std::printf("input %.1f MB, samples of %zu bytes\n", static_cast<double>(stream.size()) / 1e6, sampleBytes);
    const bool ok = Run("service", stream, service, outDir + "/service.ts", sampleBytes, false) &&
                    Run("multiplex", stream, PidSelection::Multiplex(), outDir + "/multiplex.ts", sampleBytes, false) &&
                    Run("multiplex, 188-byte writes", stream, PidSelection::Multiplex(), outDir + "/per-packet.ts",
                        sampleBytes, true);
    return ok ? 0 : 1;
}
