#include "standins/sample_slicer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "channels/psi/ts_packet.h"

namespace standins {

namespace {
// None of these is a multiple of 188, and their running sums cut packets at ever
// different offsets.
constexpr std::array<std::size_t, 8> kOddSizes = {
    kTsPacketSize * 3 + 61, 1, 4096, SampleSlicer::kLargestOddSample, kTsPacketSize - 1, kTsPacketSize * 20 + 100, 2,
    1000,
};
}  // namespace

void SampleSlicer::Append(const std::uint8_t* bytes, std::size_t size)
{
    // Compact once the consumed head outweighs what waits, so the buffer stays bounded.
    if (head_ > 0 && head_ >= bytes_.size() - head_) {
        bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    bytes_.insert(bytes_.end(), bytes, bytes + size);
}

std::size_t SampleSlicer::NextSize(std::size_t capacity) const
{
    const std::size_t waiting = Waiting();
    if (!odd_) return std::min(waiting, capacity) / kTsPacketSize * kTsPacketSize;
    const std::size_t wanted = std::min(kOddSizes[step_], capacity);
    return wanted <= waiting ? wanted : 0;
}

void SampleSlicer::Take(std::uint8_t* out, std::size_t size)
{
    size = std::min(size, Waiting());
    std::memcpy(out, bytes_.data() + head_, size);
    head_ += size;
    if (odd_) step_ = (step_ + 1) % kOddSizes.size();
}

void SampleSlicer::Reset()
{
    bytes_.clear();
    head_ = 0;
    step_ = 0;
}

}  // namespace standins
