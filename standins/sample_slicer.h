#pragma once
// Cuts the tuner's outgoing byte stream into samples. A real BDA tuner hands the graph
// whatever its USB or PCI transfers hold: the demultiplexer's transport input is
// documented to accept samples with no restriction on their boundaries, so a packet may
// span two samples or more. In odd mode the sizes follow a fixed cycle of awkward values
// (a single byte, a packet less one byte, 188·k+61, 4096, 65536...); otherwise a sample
// holds every whole packet waiting, as many as the buffer takes. The bytes themselves
// are never changed, reordered or dropped. Pure code: no platform header.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace standins {

class SampleSlicer {
public:
    explicit SampleSlicer(bool odd) : odd_(odd) {}

    void Append(const std::uint8_t* bytes, std::size_t size);
    std::size_t Waiting() const { return bytes_.size() - head_; }
    // Size of the next sample for a buffer of `capacity` bytes, or 0 while not enough
    // bytes wait for it.
    std::size_t NextSize(std::size_t capacity) const;
    // Copies the next `size` bytes out (size <= Waiting()) and moves to the next size.
    void Take(std::uint8_t* out, std::size_t size);
    // Forgets what waits (a retune); the cycle of sizes starts again.
    void Reset();

    // Largest sample of the odd cycle: an odd-mode buffer must hold it.
    static constexpr std::size_t kLargestOddSample = 65536;

private:
    bool odd_;
    std::size_t step_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::size_t head_ = 0;
};

}  // namespace standins
