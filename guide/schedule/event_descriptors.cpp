#include "guide/schedule/event_descriptors.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "channels/psi/byte_cursor.h"

namespace {

constexpr std::uint8_t kShortEvent = 0x4D;
constexpr std::uint8_t kExtendedEvent = 0x4E;
constexpr std::uint8_t kComponent = 0x50;
constexpr std::uint8_t kContent = 0x54;
constexpr std::uint8_t kParentalRating = 0x55;

std::string Take(ByteCursor& c, std::size_t n)
{
    const std::uint8_t* p = c.bytes(n);
    return p ? std::string(reinterpret_cast<const char*>(p), n) : std::string();
}

std::string TakeCounted(ByteCursor& c) { return Take(c, c.u8()); }

// Bytes of the character-table selector at the start of a DVB text.
std::size_t SelectorLength(const std::string& text)
{
    if (text.empty())
        return 0;
    const auto first = static_cast<std::uint8_t>(text[0]);
    if (first == 0x10)
        return text.size() >= 3 ? 3 : text.size();
    if (first == 0x1F)
        return text.size() >= 2 ? 2 : text.size();
    return first < 0x20 ? 1 : 0;
}

// A text sent in several extended descriptors is one text cut in pieces; each
// piece may repeat the selector of the table. Kept once, at the start, the whole
// is decoded as one (a UTF-8 sequence may even straddle two pieces).
void AppendPiece(std::string& whole, const std::string& piece)
{
    if (whole.empty()) {
        whole = piece;
        return;
    }
    const std::size_t n = SelectorLength(piece);
    if (n > 0 && whole.compare(0, n, piece, 0, n) == 0)
        whole.append(piece, n);
    else
        whole += piece;
}

struct ExtendedPiece {
    std::vector<std::pair<std::string, std::string>> items;
    std::string text;
};

bool ReadExtended(ByteCursor d, std::array<std::optional<ExtendedPiece>, 16>& pieces)
{
    const std::uint8_t numbers = d.u8();
    d.skip(3);  // ISO_639_language_code
    ExtendedPiece piece;
    ByteCursor items = d.sub(d.u8());
    while (items.ok() && items.remaining() > 0) {
        std::string description = TakeCounted(items);
        std::string item = TakeCounted(items);
        if (items.ok())
            piece.items.emplace_back(std::move(description), std::move(item));
    }
    piece.text = TakeCounted(d);
    if (!d.ok() || !items.ok())
        return false;
    auto& slot = pieces[numbers >> 4];
    if (!slot)  // a repeated number keeps the first
        slot = std::move(piece);
    return true;
}

// Component types of EN 300 468 table 26 that the guide marks.
std::uint8_t ComponentFlags(std::uint8_t streamContentExt, std::uint8_t streamContent, std::uint8_t type)
{
    std::uint8_t flags = 0;
    switch (streamContent) {
    case 0x01:  // MPEG-2 video
        if (type >= 0x09 && type <= 0x10)
            flags |= kFlagHighDefinition;
        if (type % 4 != 1 && type <= 0x10)  // 0x01, 0x05, 0x09, 0x0D are 4:3
            flags |= kFlagWideScreen;
        break;
    case 0x05:  // H.264 video
        if (type >= 0x0B && type <= 0x10)
            flags |= kFlagHighDefinition;
        if (type == 0x03 || type == 0x04 || type == 0x07 || type == 0x08 || (type >= 0x0B && type <= 0x10))
            flags |= kFlagWideScreen;
        break;
    case 0x09:  // HEVC video (stream_content_ext 0) or others
        if (streamContentExt == 0x0 && type <= 0x07)
            flags |= kFlagHighDefinition | kFlagWideScreen;
        break;
    case 0x02:  // MPEG-1 layer II audio
        if (type == 0x40)
            flags |= kFlagAudioDescription;
        break;
    case 0x04:  // AC-3: the service-type bits 3..5 equal 010 mean visually impaired
        if ((type & 0x38) == 0x10)
            flags |= kFlagAudioDescription;
        break;
    case 0x06:  // HE-AAC
        if (type == 0x40 || type == 0x41 || type == 0x47 || type == 0x48)
            flags |= kFlagAudioDescription;
        break;
    case 0x03:  // subtitles: DVB subtitles for the hard of hearing
        if (type >= 0x20 && type <= 0x25)
            flags |= kFlagDeafSubtitles;
        break;
    default:
        break;
    }
    return flags;
}

}  // namespace

bool ReadEventDescriptors(const std::uint8_t* loop, std::size_t loopLength, ScheduleEvent& event)
{
    ByteCursor c(loop, loopLength);
    std::array<std::optional<ExtendedPiece>, 16> extended;
    bool haveShort = false;
    while (c.remaining() > 0) {
        const std::uint8_t tag = c.u8();
        ByteCursor d = c.sub(c.u8());
        if (!c.ok())
            return false;
        switch (tag) {
        case kShortEvent: {
            std::string language = Take(d, 3);
            std::string title = TakeCounted(d);
            std::string text = TakeCounted(d);
            if (!d.ok())
                return false;
            // Several short events carry several languages; the first speaks.
            if (!haveShort) {
                event.language = std::move(language);
                event.title = std::move(title);
                event.shortText = std::move(text);
                haveShort = true;
            }
            break;
        }
        case kExtendedEvent:
            if (!ReadExtended(d, extended))
                return false;
            break;
        case kComponent: {
            const std::uint8_t content = d.u8();
            const std::uint8_t type = d.u8();
            if (!d.ok())
                return false;
            event.flags |= ComponentFlags(content >> 4, content & 0x0F, type);
            break;
        }
        case kContent:
            // Pairs of nibbles then a user byte; the first pair is the genre.
            if (d.remaining() % 2 != 0)
                return false;
            if (event.content == 0 && d.remaining() >= 2)
                event.content = d.u8();
            break;
        case kParentalRating:
            if (d.remaining() % 4 != 0)
                return false;
            while (d.remaining() > 0) {
                const std::string country = Take(d, 3);
                const std::uint8_t rating = d.u8();
                // 0x01 to 0x0F: a minimum age of rating + 3 years; the rest is
                // undefined or the broadcaster's own.
                if (country == "FRA" && rating >= 0x01 && rating <= 0x0F)
                    event.minimumAge = static_cast<std::uint8_t>(rating + 3);
            }
            break;
        default:
            break;
        }
    }
    if (!c.ok())
        return false;
    for (const auto& piece : extended) {
        if (!piece)
            continue;
        for (const auto& item : piece->items)
            event.items.push_back(item);
        AppendPiece(event.extendedText, piece->text);
    }
    return true;
}
