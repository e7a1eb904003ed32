#include "tools/tsgen/dvb_subtitle_encoder.h"

#include <algorithm>

#include "graph/subtitles/subtitle_clut.h"
#include "tools/tsgen/bit_writer.h"

namespace tsgen {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

void Segment(Bytes& out, std::uint8_t type, std::uint16_t page, const Bytes& body)
{
    out.push_back(0x0F);
    out.push_back(type);
    Put16(out, page);
    Put16(out, static_cast<unsigned>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

// A run of `n` pixels of `code` in a 2-bit string, in the longest forms first.
void TwoBitRun(BitWriter& w, unsigned n, unsigned code)
{
    while (n > 0) {
        if (n >= 29) {
            const unsigned m = std::min(n, 284u);
            w.Put(0b000011, 6), w.Put(m - 29, 8), w.Put(code, 2);
            n -= m;
        } else if (n >= 12) {
            const unsigned m = std::min(n, 27u);
            w.Put(0b000010, 6), w.Put(m - 12, 4), w.Put(code, 2);
            n -= m;
        } else if (n >= 3) {
            const unsigned m = std::min(n, 10u);
            w.Put(0b001, 3), w.Put(m - 3, 3), w.Put(code, 2);
            n -= m;
        } else if (code != 0) {
            w.Put(code, 2);
            n -= 1;
        } else if (n == 2) {
            w.Put(0b000001, 6);
            n -= 2;
        } else {
            w.Put(0b0001, 4);
            n -= 1;
        }
    }
}

void FourBitRun(BitWriter& w, unsigned n, unsigned code)
{
    while (n > 0) {
        if (n >= 25) {
            const unsigned m = std::min(n, 280u);
            w.Put(0b00001111, 8), w.Put(m - 25, 8), w.Put(code, 4);
            n -= m;
        } else if (n >= 9) {
            w.Put(0b00001110, 8), w.Put(n - 9, 4), w.Put(code, 4);
            n = 0;
        } else if (code == 0 && n >= 3) {
            w.Put(0b00000, 5), w.Put(n - 2, 3);
            n = 0;
        } else if (code != 0 && n >= 4) {
            const unsigned m = std::min(n, 7u);
            w.Put(0b000010, 6), w.Put(m - 4, 2), w.Put(code, 4);
            n -= m;
        } else if (code != 0) {
            w.Put(code, 4);
            n -= 1;
        } else if (n == 2) {
            w.Put(0b00001101, 8);
            n -= 2;
        } else {
            w.Put(0b00001100, 8);
            n -= 1;
        }
    }
}

Bytes FieldBlock(const SubtitleObject& object, unsigned firstLine)
{
    Bytes block;
    for (std::size_t line = firstLine; line < object.lines.size(); line += 2) {
        const Bytes string = EncodePixelString(object.lines[line], object.bits);
        block.insert(block.end(), string.begin(), string.end());
        block.push_back(0xF0);  // end of object line
    }
    return block;
}

}  // namespace

std::vector<std::uint8_t> EncodePixelString(const std::vector<std::uint8_t>& codes, unsigned bits)
{
    BitWriter w;
    w.Put(bits == 2 ? 0x10 : 0x11, 8);
    for (std::size_t i = 0; i < codes.size();) {
        std::size_t j = i;
        while (j < codes.size() && codes[j] == codes[i])
            ++j;
        const unsigned code = codes[i] & (bits == 2 ? 0x03 : 0x0F);
        if (bits == 2)
            TwoBitRun(w, static_cast<unsigned>(j - i), code);
        else
            FourBitRun(w, static_cast<unsigned>(j - i), code);
        i = j;
    }
    if (bits == 2)
        w.Put(0b000000, 6);  // end of string
    else
        w.Put(0b00000000, 8);
    w.Align();
    return w.bytes();
}

std::vector<std::uint8_t> EncodeDisplaySet(const SubtitleDisplaySet& set)
{
    Bytes out{0x20, 0x00};

    Bytes page{set.timeoutSeconds, static_cast<std::uint8_t>(set.version << 4 | (set.acquisitionPoint ? 1 : 0) << 2)};
    for (const SubtitleRegion& r : set.regions) {
        page.push_back(r.id);
        page.push_back(0xFF);
        Put16(page, r.x);
        Put16(page, r.y);
    }
    Segment(out, 0x10, set.page, page);

    for (const SubtitleRegion& r : set.regions) {
        Bytes region{r.id, static_cast<std::uint8_t>(set.version << 4 | 0x08)};  // filled with its code
        Put16(region, r.width);
        Put16(region, r.height);
        const unsigned depthCode = r.depth == 2 ? 1 : 2;
        region.push_back(static_cast<std::uint8_t>(depthCode << 5 | depthCode << 2 | 0x03));
        region.push_back(set.clutId);
        region.push_back(r.fillCode);
        region.push_back(static_cast<std::uint8_t>((r.fillCode & 0x0F) << 4 | (r.fillCode & 0x03) << 2 | 0x03));
        for (const SubtitleObject& o : set.objects) {
            if (o.regionId != r.id)
                continue;
            Put16(region, o.id);
            Put16(region, 0x0000 | (o.x & 0x0FFF));  // basic object, bitmap, from this stream
            Put16(region, 0xF000 | (o.y & 0x0FFF));
        }
        Segment(out, 0x11, set.page, region);
    }

    if (!set.clut.empty()) {
        Bytes clut{set.clutId, static_cast<std::uint8_t>(set.version << 4 | 0x0F)};
        for (const SubtitleColour& c : set.clut) {
            const YCrCbT v = YCrCbTFromArgb(c.argb);
            clut.push_back(c.entry);
            clut.push_back(static_cast<std::uint8_t>((c.entry < 4 ? 0x80 : 0) | (c.entry < 16 ? 0x40 : 0) | 0x1F));
            clut.insert(clut.end(), {v.y, v.cr, v.cb, v.t});
        }
        Segment(out, 0x12, set.page, clut);
    }

    for (const SubtitleObject& o : set.objects) {
        const Bytes top = FieldBlock(o, 0);
        const Bytes bottom = FieldBlock(o, 1);
        Bytes object;
        Put16(object, o.id);
        object.push_back(static_cast<std::uint8_t>(set.version << 4 | 0x01));  // pixels, colours all modify
        Put16(object, static_cast<unsigned>(top.size()));
        Put16(object, static_cast<unsigned>(bottom.size()));
        object.insert(object.end(), top.begin(), top.end());
        object.insert(object.end(), bottom.begin(), bottom.end());
        Segment(out, 0x13, set.page, object);
    }

    Segment(out, 0x80, set.page, {});
    out.push_back(0xFF);
    return out;
}

std::vector<std::uint8_t> EncodeClearingSet(std::uint16_t page, std::uint8_t version)
{
    Bytes out{0x20, 0x00};
    Segment(out, 0x10, page, {0, static_cast<std::uint8_t>(version << 4)});
    Segment(out, 0x80, page, {});
    out.push_back(0xFF);
    return out;
}

}  // namespace tsgen
