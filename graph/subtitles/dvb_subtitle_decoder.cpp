#include "graph/subtitles/dvb_subtitle_decoder.h"

#include <algorithm>

#include "channels/psi/byte_cursor.h"
#include "graph/subtitles/pixel_strings.h"

namespace {

constexpr std::uint8_t kDataIdentifier = 0x20;
constexpr std::uint8_t kSubtitleStreamId = 0x00;
constexpr std::uint8_t kSyncByte = 0x0F;

constexpr std::uint8_t kPageComposition = 0x10;
constexpr std::uint8_t kRegionComposition = 0x11;
constexpr std::uint8_t kClutDefinition = 0x12;
constexpr std::uint8_t kObjectData = 0x13;
constexpr std::uint8_t kDisplayDefinition = 0x14;
constexpr std::uint8_t kEndOfDisplaySet = 0x80;

// Page states of a page composition.
constexpr unsigned kNormalCase = 0;
constexpr unsigned kAcquisitionPoint = 1;
constexpr unsigned kModeChange = 2;

constexpr std::int64_t kClockMask = (std::int64_t{1} << 33) - 1;
constexpr std::int64_t kTicksPerSecond = 90000;

// All regions of a page together may hold at most two displays of the largest
// size: a page of many huge regions is not a subtitle.
constexpr std::size_t kRegionBudget = std::size_t{2} * DvbSubtitleDecoder::kMaxWidth * DvbSubtitleDecoder::kMaxHeight;

}  // namespace

bool IsShownAt(const SubtitlePicture& picture, std::int64_t now)
{
    const std::int64_t elapsed = (now - picture.pts) & kClockMask;
    if (elapsed > kClockMask / 2)
        return false;  // before its PTS
    return picture.timeoutSeconds == 0 || elapsed < picture.timeoutSeconds * kTicksPerSecond;
}

DvbSubtitleDecoder::DvbSubtitleDecoder(std::uint16_t compositionPage, std::uint16_t ancillaryPage)
    : compositionPage_(compositionPage), ancillaryPage_(ancillaryPage)
{
}

void DvbSubtitleDecoder::Reset()
{
    *this = DvbSubtitleDecoder(compositionPage_, ancillaryPage_);
}

void DvbSubtitleDecoder::NewEpoch()
{
    regions_.clear();
    cluts_.clear();
    page_.clear();
    inEpoch_ = true;
}

std::vector<SubtitlePicture> DvbSubtitleDecoder::Decode(const std::uint8_t* data, std::size_t size, std::int64_t pts)
{
    std::vector<SubtitlePicture> out;
    ByteCursor in(data, size);
    if (in.u8() != kDataIdentifier || in.u8() != kSubtitleStreamId || !in.ok())
        return out;
    while (in.remaining() > 0) {
        if (in.u8() != kSyncByte)
            break;  // the end of data field marker 0xFF, or garbage
        const std::uint8_t type = in.u8();
        const std::uint16_t page = in.u16();
        const std::uint16_t length = in.u16();
        const std::uint8_t* body = in.bytes(length);
        if (!in.ok()) {
            // A segment cut short spoils the set it belongs to.
            if (setOpen_)
                setDamaged_ = true;
            break;
        }
        if (page != compositionPage_ && page != ancillaryPage_)
            continue;
        if (!Segment(type, page, body, length, pts, out) && setOpen_)
            setDamaged_ = true;
    }
    return out;
}

bool DvbSubtitleDecoder::Segment(std::uint8_t type, std::uint16_t page, const std::uint8_t* data, std::size_t size,
                                 std::int64_t pts, std::vector<SubtitlePicture>& out)
{
    const bool ours = page == compositionPage_;
    switch (type) {
    case kPageComposition:
        return ours ? PageComposition(data, size, pts, out) : true;
    case kDisplayDefinition:
        // It comes before the page composition: a bad one spoils the set it opens.
        if (ours && !DisplayDefinition(data, size))
            nextDisplayBad_ = true;
        return true;
    case kEndOfDisplaySet:
        if (ours)
            EndOfDisplaySet(out);
        return true;
    default:
        break;
    }
    if (!setOpen_)
        return true;  // outside a display set we are in step with
    switch (type) {
    case kRegionComposition: return ours ? RegionComposition(data, size) : true;
    case kClutDefinition: return ClutDefinition(data, size);
    case kObjectData: return ObjectData(data, size);
    default: return true;  // disparity, alternative CLUT, stuffing: not needed for a flat picture
    }
}

bool DvbSubtitleDecoder::DisplayDefinition(const std::uint8_t* data, std::size_t size)
{
    ByteCursor in(data, size);
    const bool window = (in.u8() & 0x08) != 0;
    const unsigned width = in.u16() + 1u;
    const unsigned height = in.u16() + 1u;
    unsigned xMin = 0, xMax = width - 1, yMin = 0, yMax = height - 1;
    if (window) {
        xMin = in.u16();
        xMax = in.u16();
        yMin = in.u16();
        yMax = in.u16();
    }
    if (!in.ok() || width > kMaxWidth || height > kMaxHeight || xMin > xMax || yMin > yMax || xMax >= width ||
        yMax >= height)
        return false;
    nextDisplay_ = Display{width, height, xMin, yMin, xMax - xMin + 1, yMax - yMin + 1};
    return true;
}

bool DvbSubtitleDecoder::PageComposition(const std::uint8_t* data, std::size_t size, std::int64_t pts,
                                         std::vector<SubtitlePicture>& out)
{
    // A set that never got its end is complete as far as it went.
    if (setOpen_)
        EndOfDisplaySet(out);

    // A display definition holds for the set it came with; without one the
    // display is the standard definition one.
    const Display display = nextDisplay_;
    const bool displayBad = nextDisplayBad_;
    nextDisplay_ = Display{};
    nextDisplayBad_ = false;

    ByteCursor in(data, size);
    const unsigned timeout = in.u8();
    const std::uint8_t versionAndState = in.u8();
    if (!in.ok())
        return false;
    const unsigned state = versionAndState >> 2 & 0x03;
    if (state == kAcquisitionPoint || state == kModeChange)
        NewEpoch();
    else if (state != kNormalCase || !inEpoch_)
        return true;  // not yet in step: wait for an acquisition point

    std::vector<PlacedRegion> page;
    while (in.remaining() > 0) {
        const std::uint8_t id = in.u8();
        in.skip(1);
        const unsigned x = in.u16();
        const unsigned y = in.u16();
        if (!in.ok())
            return false;
        page.push_back({id, x, y});
    }
    page_ = std::move(page);
    timeout_ = timeout;
    pageVersion_ = versionAndState >> 4;
    display_ = display;
    setOpen_ = true;
    setDamaged_ = displayBad;
    setPts_ = pts;
    return true;
}

std::size_t DvbSubtitleDecoder::RegionBytes() const
{
    std::size_t total = 0;
    for (const auto& [id, region] : regions_)
        total += region.codes.size();
    return total;
}

bool DvbSubtitleDecoder::RegionComposition(const std::uint8_t* data, std::size_t size)
{
    ByteCursor in(data, size);
    const std::uint8_t id = in.u8();
    const std::uint8_t versionAndFill = in.u8();
    const unsigned width = in.u16();
    const unsigned height = in.u16();
    const unsigned depthCode = in.u8() >> 2 & 0x07;
    const std::uint8_t clutId = in.u8();
    const std::uint8_t code8 = in.u8();
    const std::uint8_t codes42 = in.u8();
    if (!in.ok() || width == 0 || height == 0 || width > kMaxWidth || height > kMaxHeight)
        return false;
    static constexpr unsigned kDepths[] = {0, 2, 4, 8};
    if (depthCode == 0 || depthCode > 3)
        return false;
    const unsigned depth = kDepths[depthCode];
    const std::uint8_t fillCode = depth == 8 ? code8 : depth == 4 ? static_cast<std::uint8_t>(codes42 >> 4)
                                                                  : static_cast<std::uint8_t>(codes42 >> 2 & 0x03);

    std::vector<RegionObject> objects;
    while (in.remaining() > 0) {
        const std::uint16_t objectId = in.u16();
        const std::uint16_t typeAndX = in.u16();
        const unsigned y = in.u16() & 0x0FFF;
        if ((typeAndX >> 14) == 1 || (typeAndX >> 14) == 2)
            in.skip(2);  // character objects' foreground and background codes
        if (!in.ok())
            return false;
        objects.push_back({objectId, typeAndX & 0x0FFFu, y});
    }

    Region& region = regions_[id];
    const int version = versionAndFill >> 4;
    const bool reshaped = region.width != width || region.height != height || region.depth != depth;
    if (reshaped) {
        region.codes.clear();
        if (RegionBytes() + std::size_t{width} * height > kRegionBudget) {
            regions_.erase(id);
            return false;
        }
        region.width = width;
        region.height = height;
        region.depth = depth;
        region.codes.assign(std::size_t{width} * height, 0);
    }
    if ((versionAndFill & 0x08) != 0 && (reshaped || version != region.version))
        std::fill(region.codes.begin(), region.codes.end(), fillCode);
    region.version = version;
    region.clutId = clutId;
    region.objects = std::move(objects);
    return true;
}

bool DvbSubtitleDecoder::ClutDefinition(const std::uint8_t* data, std::size_t size)
{
    ByteCursor in(data, size);
    const std::uint8_t id = in.u8();
    in.skip(1);  // version
    if (!in.ok())
        return false;
    auto [it, added] = cluts_.try_emplace(id, DefaultClut());
    SubtitleClut& clut = it->second;
    while (in.remaining() > 0) {
        const std::uint8_t entry = in.u8();
        const std::uint8_t flags = in.u8();
        std::uint8_t y, cr, cb, t;
        if (flags & 0x01) {
            y = in.u8();
            cr = in.u8();
            cb = in.u8();
            t = in.u8();
        } else {
            // Reduced range: the top 6, 4, 4 and 2 bits of each value.
            const std::uint16_t packed = in.u16();
            y = static_cast<std::uint8_t>((packed >> 10) << 2);
            cr = static_cast<std::uint8_t>((packed >> 6 & 0x0F) << 4);
            cb = static_cast<std::uint8_t>((packed >> 2 & 0x0F) << 4);
            t = static_cast<std::uint8_t>((packed & 0x03) << 6);
        }
        if (!in.ok())
            return false;
        const Argb colour = ArgbFromYCrCbT(y, cr, cb, t);
        // An entry beyond a table's size is not for that table.
        if ((flags & 0x80) && entry < clut.twoBit.size())
            clut.twoBit[entry] = colour;
        if ((flags & 0x40) && entry < clut.fourBit.size())
            clut.fourBit[entry] = colour;
        if (flags & 0x20)
            clut.eightBit[entry] = colour;
    }
    return true;
}

bool DvbSubtitleDecoder::ObjectData(const std::uint8_t* data, std::size_t size)
{
    ByteCursor in(data, size);
    const std::uint16_t id = in.u16();
    const std::uint8_t flags = in.u8();
    if (!in.ok())
        return false;
    const unsigned coding = flags >> 2 & 0x03;
    const bool nonModifying = (flags & 0x02) != 0;
    if (coding == 1)
        return true;  // a string of characters: needs a font the broadcast does not define
    if (coding != 0)
        return false;
    const std::uint16_t topLength = in.u16();
    const std::uint16_t bottomLength = in.u16();
    const std::uint8_t* top = in.bytes(topLength);
    const std::uint8_t* bottom = in.bytes(bottomLength);
    if (!in.ok())
        return false;
    // Without its own block the bottom field repeats the top one.
    const std::uint8_t* fields[2] = {top, bottomLength ? bottom : top};
    const std::size_t lengths[2] = {topLength, bottomLength ? bottomLength : topLength};

    bool good = true;
    for (auto& [regionId, region] : regions_) {
        for (const RegionObject& object : region.objects) {
            if (object.id != id || object.x >= region.width)
                continue;
            for (unsigned field = 0; field < 2; ++field) {
                const unsigned firstRow = object.y + field;
                const unsigned lines = firstRow < region.height ? (region.height - firstRow + 1) / 2 : 0;
                PixelMaps maps;
                Region& target = region;
                const auto draw = [&](const PixelRun& run) {
                    if (nonModifying && run.code == 1)
                        return;  // entry 1 leaves what lies beneath
                    const std::size_t row = firstRow + 2u * run.line;
                    std::uint8_t* line = target.codes.data() + row * target.width + object.x + run.x;
                    std::fill(line, line + run.count, run.code);
                };
                if (!DecodePixelBlock(fields[field], lengths[field], region.depth, region.width - object.x, lines,
                                      maps, draw))
                    good = false;
            }
        }
    }
    return good;
}

void DvbSubtitleDecoder::EndOfDisplaySet(std::vector<SubtitlePicture>& out)
{
    if (setOpen_ && !setDamaged_)
        out.push_back(Compose());
    setOpen_ = false;
    setDamaged_ = false;
}

Argb DvbSubtitleDecoder::Colour(const Region& region, std::uint8_t code) const
{
    const auto it = cluts_.find(region.clutId);
    const SubtitleClut& clut = it != cluts_.end() ? it->second : DefaultClut();
    switch (region.depth) {
    case 2: return clut.twoBit[code & 0x03];
    case 4: return clut.fourBit[code & 0x0F];
    default: return clut.eightBit[code];
    }
}

SubtitlePicture DvbSubtitleDecoder::Compose() const
{
    SubtitlePicture picture;
    picture.pts = setPts_;
    picture.timeoutSeconds = timeout_;
    picture.width = display_.width;
    picture.height = display_.height;
    picture.pixels.assign(std::size_t{display_.width} * display_.height, 0);
    const unsigned right = display_.windowX + display_.windowWidth;
    const unsigned bottom = display_.windowY + display_.windowHeight;
    for (const PlacedRegion& placed : page_) {
        const auto found = regions_.find(placed.id);
        if (found == regions_.end())
            continue;
        const Region& region = found->second;
        // Resolve the few colours a region can have once, not per pixel.
        Argb colours[256];
        const unsigned entries = 1u << region.depth;
        for (unsigned code = 0; code < entries; ++code)
            colours[code] = Colour(region, static_cast<std::uint8_t>(code));
        const unsigned left = display_.windowX + placed.x;
        const unsigned topRow = display_.windowY + placed.y;
        if (left >= right || topRow >= bottom)
            continue;  // wholly outside the display
        const unsigned width = std::min(region.width, right - left);
        const unsigned height = std::min(region.height, bottom - topRow);
        for (unsigned y = 0; y < height; ++y) {
            const std::uint8_t* codes = region.codes.data() + std::size_t{y} * region.width;
            Argb* row = picture.pixels.data() + std::size_t{topRow + y} * display_.width + left;
            for (unsigned x = 0; x < width; ++x) {
                const Argb colour = colours[codes[x] & (entries - 1)];
                if (colour >> 24) {
                    row[x] = colour;
                    picture.empty = false;
                }
            }
        }
    }
    return picture;
}
