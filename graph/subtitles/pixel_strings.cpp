#include "graph/subtitles/pixel_strings.h"

#include <algorithm>

#include "graph/subtitles/bit_reader.h"

namespace {

constexpr std::uint8_t kTwoBitString = 0x10;
constexpr std::uint8_t kFourBitString = 0x11;
constexpr std::uint8_t kEightBitString = 0x12;
constexpr std::uint8_t kTwoToFourMap = 0x20;
constexpr std::uint8_t kTwoToEightMap = 0x21;
constexpr std::uint8_t kFourToEightMap = 0x22;
constexpr std::uint8_t kEndOfLine = 0xF0;

// Where the runs of the current line go, cut to the region.
class LineWriter {
public:
    LineWriter(unsigned maxWidth, unsigned maxLines, const PixelRunSink& sink)
        : maxWidth_(maxWidth), maxLines_(maxLines), sink_(sink)
    {
    }

    void Run(unsigned count, std::uint8_t code)
    {
        if (count == 0)
            return;
        if (line_ < maxLines_ && x_ < maxWidth_)
            sink_(PixelRun{line_, x_, std::min(count, maxWidth_ - x_), code});
        // Long strings must not overflow the column: it only has to pass the width.
        x_ = std::min(x_ + count, maxWidth_ + 1);
    }

    void EndLine()
    {
        x_ = 0;
        if (line_ <= maxLines_)
            ++line_;
    }

private:
    unsigned maxWidth_;
    unsigned maxLines_;
    const PixelRunSink& sink_;
    unsigned line_ = 0;
    unsigned x_ = 0;
};

// A code of a string of `bits` bits, as drawn into a region of `depth` bits.
class CodeMapper {
public:
    CodeMapper(unsigned bits, RegionDepth depth, const PixelMaps& maps) : bits_(bits), depth_(depth), maps_(maps) {}

    std::uint8_t operator()(unsigned code) const
    {
        if (bits_ == depth_)
            return static_cast<std::uint8_t>(code);
        if (bits_ == 2 && depth_ == 4)
            return maps_.twoToFour[code & 3];
        if (bits_ == 2 && depth_ == 8)
            return maps_.twoToEight[code & 3];
        if (bits_ == 4 && depth_ == 8)
            return maps_.fourToEight[code & 15];
        // A deeper string than its region has no map table: keep its top bits.
        return static_cast<std::uint8_t>(code >> (bits_ - depth_));
    }

private:
    unsigned bits_;
    RegionDepth depth_;
    const PixelMaps& maps_;
};

bool TwoBitString(BitReader& in, const CodeMapper& map, LineWriter& out)
{
    for (;;) {
        const unsigned code = in.bits(2);
        if (code != 0) {
            out.Run(1, map(code));
        } else if (in.bits(1) == 1) {
            const unsigned run = in.bits(3) + 3;
            out.Run(run, map(in.bits(2)));
        } else if (in.bits(1) == 1) {
            out.Run(1, map(0));
        } else {
            switch (in.bits(2)) {
            case 0:
                in.align();
                return in.ok();
            case 1: out.Run(2, map(0)); break;
            case 2: {
                const unsigned run = in.bits(4) + 12;
                out.Run(run, map(in.bits(2)));
                break;
            }
            default: {
                const unsigned run = in.bits(8) + 29;
                out.Run(run, map(in.bits(2)));
                break;
            }
            }
        }
        if (!in.ok())
            return false;
    }
}

bool FourBitString(BitReader& in, const CodeMapper& map, LineWriter& out)
{
    for (;;) {
        const unsigned code = in.bits(4);
        if (code != 0) {
            out.Run(1, map(code));
        } else if (in.bits(1) == 0) {
            const unsigned run = in.bits(3);
            if (run == 0) {
                in.align();
                return in.ok();
            }
            out.Run(run + 2, map(0));
        } else if (in.bits(1) == 0) {
            const unsigned run = in.bits(2) + 4;
            out.Run(run, map(in.bits(4)));
        } else {
            switch (in.bits(2)) {
            case 0: out.Run(1, map(0)); break;
            case 1: out.Run(2, map(0)); break;
            case 2: {
                const unsigned run = in.bits(4) + 9;
                out.Run(run, map(in.bits(4)));
                break;
            }
            default: {
                const unsigned run = in.bits(8) + 25;
                out.Run(run, map(in.bits(4)));
                break;
            }
            }
        }
        if (!in.ok())
            return false;
    }
}

bool EightBitString(BitReader& in, const CodeMapper& map, LineWriter& out)
{
    for (;;) {
        const unsigned code = in.bits(8);
        if (code != 0) {
            out.Run(1, map(code));
        } else if (in.bits(1) == 0) {
            const unsigned run = in.bits(7);
            if (run == 0)
                return in.ok();
            out.Run(run, map(0));
        } else {
            const unsigned run = in.bits(7);
            out.Run(run, map(in.bits(8)));
        }
        if (!in.ok())
            return false;
    }
}

}  // namespace

bool DecodePixelBlock(const std::uint8_t* data, std::size_t size, RegionDepth depth, unsigned maxWidth,
                      unsigned maxLines, PixelMaps& maps, const PixelRunSink& sink)
{
    if (depth != 2 && depth != 4 && depth != 8)
        return false;
    BitReader in(data, size);
    LineWriter out(maxWidth, maxLines, sink);
    while (!in.atEnd()) {
        const unsigned type = in.bits(8);
        bool good = true;
        switch (type) {
        case kTwoBitString: good = TwoBitString(in, CodeMapper(2, depth, maps), out); break;
        case kFourBitString: good = FourBitString(in, CodeMapper(4, depth, maps), out); break;
        case kEightBitString: good = EightBitString(in, CodeMapper(8, depth, maps), out); break;
        case kTwoToFourMap:
            for (auto& entry : maps.twoToFour)
                entry = static_cast<std::uint8_t>(in.bits(4));
            break;
        case kTwoToEightMap:
            for (auto& entry : maps.twoToEight)
                entry = static_cast<std::uint8_t>(in.bits(8));
            break;
        case kFourToEightMap:
            for (auto& entry : maps.fourToEight)
                entry = static_cast<std::uint8_t>(in.bits(8));
            break;
        case kEndOfLine:
            out.EndLine();
            break;
        default:
            return false;
        }
        if (!good || !in.ok())
            return false;
    }
    return true;
}
