// A seek inside the time-shift buffer starts at the video's next random-access
// point, as a seek in a file does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/playback/time_shift_buffer.h"
#include "record/playback/time_shift_seek.h"
#include "tests/support/packets.h"
#include "tests/unit/record/memory_ring_file.h"

namespace {

using tstest::Bytes;
constexpr std::uint16_t kVideo = 0x100;
constexpr std::int64_t kStartMs = 1'000'000;
constexpr std::int64_t kFrameMs = 40;
constexpr int kPictures = 50;
constexpr int kGop = 12;  // a sequence header every twelfth picture

Bytes Picture(int n) { return TestPicture(kVideo, n, kGop); }

constexpr std::uint64_t kPictureBytes = kTestPictureBytes;

std::int64_t TimeOf(int picture) { return kStartMs + kFrameMs * picture; }
std::uint64_t OffsetOf(int picture) { return kPictureBytes * static_cast<std::uint64_t>(picture); }

TEST(TimeShiftSeek, StartsAtTheNextRandomAccessPoint)
{
    struct Case {
        std::string name;
        std::uint64_t capacity;
        std::int64_t timeMs;
        std::uint16_t pid;
        std::uint64_t limit;
        int expectedPicture;  // -1: the time's own offset
    };
    const std::uint64_t all = kPictureBytes * kPictures * 2;
    const std::vector<Case> cases = {
        {"between two points: the next one", all, TimeOf(5), kVideo, 1u << 20, 12},
        {"on a point: that one", all, TimeOf(24), kVideo, 1u << 20, 24},
        {"after the last point: the time's own place", all, TimeOf(49), kVideo, 1u << 20, -1},
        {"the next point out of reach: the time's own place", all, TimeOf(1), kVideo, kPictureBytes * 4, -1},
        {"sound only: the time's own place", all, TimeOf(5), 0, 1u << 20, -1},
        {"another PID: the time's own place", all, TimeOf(5), kVideo + 1, 1u << 20, -1},
        // 30 pictures kept: from picture 20 on; an older time goes to the oldest
        // kept, and then to the first point after it.
        {"before what is kept: the first point kept", kPictureBytes * 30, TimeOf(2), kVideo, 1u << 20, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRingFile file;
        std::int64_t clock = kStartMs;
        TimeShiftBuffer buffer(file, c.capacity, 3'600'000, PidSelection::Service(0x20, kVideo, 0x101, 0x1FFF),
                               [&] { return clock; }, nullptr);
        for (int n = 0; n < kPictures; ++n) {
            const Bytes picture = Picture(n);
            clock += kFrameMs;
            ASSERT_TRUE(buffer.OnPackets(picture.data(), picture.size() / 188));
        }
        const std::uint64_t found = TimeShiftSeekOffset(buffer, c.timeMs, c.pid, VideoCoding::Mpeg2, c.limit);
        if (c.expectedPicture >= 0)
            EXPECT_EQ(found, OffsetOf(c.expectedPicture));
        else
            EXPECT_EQ(found, buffer.OffsetAt(c.timeMs));
    }
}

}  // namespace
