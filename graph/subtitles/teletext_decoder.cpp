#include "graph/subtitles/teletext_decoder.h"

#include <cstring>

#include "channels/psi/byte_cursor.h"
#include "graph/subtitles/teletext_codes.h"

namespace {

// EBU data identifiers of a teletext PES.
constexpr std::uint8_t kFirstDataIdentifier = 0x10;
constexpr std::uint8_t kLastDataIdentifier = 0x1F;
constexpr std::uint8_t kTeletextUnit = 0x02;
constexpr std::uint8_t kSubtitleUnit = 0x03;
constexpr std::uint8_t kUnitLength = 0x2C;
// The framing code 0x27 as the PES carries it, least significant bit first.
constexpr std::uint8_t kFramingCode = 0xE4;

// Spacing attributes of level 1 that subtitles use.
constexpr std::uint8_t kEndBox = 0x0A;
constexpr std::uint8_t kStartBox = 0x0B;
constexpr std::uint8_t kDoubleHeight = 0x0D;
constexpr std::uint8_t kBlackBackground = 0x1C;
constexpr std::uint8_t kNewBackground = 0x1D;

}  // namespace

TeletextSubtitleDecoder::TeletextSubtitleDecoder(std::uint16_t page) : page_(page)
{
    std::memset(rows_, 0x20, sizeof rows_);
}

void TeletextSubtitleDecoder::Reset()
{
    *this = TeletextSubtitleDecoder(page_);
}

std::vector<TeletextSubtitle> TeletextSubtitleDecoder::Decode(const std::uint8_t* data, std::size_t size,
                                                              std::int64_t pts)
{
    std::vector<TeletextSubtitle> out;
    ByteCursor in(data, size);
    const std::uint8_t identifier = in.u8();
    if (!in.ok() || identifier < kFirstDataIdentifier || identifier > kLastDataIdentifier)
        return out;
    while (in.remaining() >= 2) {
        const std::uint8_t unitId = in.u8();
        const std::uint8_t length = in.u8();
        const std::uint8_t* unit = in.bytes(length);
        if (!unit)
            break;
        if ((unitId == kTeletextUnit || unitId == kSubtitleUnit) && length == kUnitLength)
            Packet(unit, pts, out);
    }
    if (receiving_ && dirty_)
        Emit(out);
    return out;
}

void TeletextSubtitleDecoder::Packet(const std::uint8_t* unit, std::int64_t pts, std::vector<TeletextSubtitle>& out)
{
    // unit[0]: field parity and line offset; unit[1]: framing code; then the
    // packet address and the 40 bytes of its data block.
    if (unit[1] != kFramingCode)
        return;
    const auto low = DecodeHamming84(ReverseBits(unit[2]));
    const auto high = DecodeHamming84(ReverseBits(unit[3]));
    if (!low || !high)
        return;  // an address that cannot be read: whose packet it is is unknown
    const unsigned magazine = (*low & 0x07) == 0 ? 8 : (*low & 0x07);
    const unsigned packet = *low >> 3 | *high << 1;
    std::uint8_t block[40];
    for (int i = 0; i < 40; ++i)
        block[i] = ReverseBits(unit[4 + i]);

    if (packet == 0) {
        Header(magazine, block, pts, out);
        return;
    }
    if (!receiving_ || packet > 23 || magazine != (page_ >> 8))
        return;
    for (int i = 0; i < 40; ++i) {
        const auto code = DecodeOddParity(block[i]);
        rows_[packet][i] = code ? *code : 0x20;  // a damaged character shows as a space
    }
    dirty_ = true;
}

void TeletextSubtitleDecoder::Header(unsigned magazine, const std::uint8_t* block, std::int64_t pts,
                                     std::vector<TeletextSubtitle>& out)
{
    // A header of the page's magazine (of any, in serial mode) ends the page.
    if (receiving_ && (serial_ || magazine == (page_ >> 8u))) {
        if (dirty_)
            Emit(out);
        receiving_ = false;
    }
    std::uint8_t nibbles[8];
    for (int i = 0; i < 8; ++i) {
        const auto nibble = DecodeHamming84(block[i]);
        if (!nibble)
            return;  // not a header we can place
        nibbles[i] = *nibble;
    }
    const unsigned number = magazine << 8 | nibbles[1] << 4 | nibbles[0];
    if (number != page_)
        return;
    receiving_ = true;
    serial_ = (nibbles[7] & 0x01) != 0;                            // C11
    national_ = static_cast<std::uint8_t>((nibbles[7] >> 1 & 1) << 2 | (nibbles[7] >> 2 & 1) << 1 |
                                          (nibbles[7] >> 3 & 1));  // C12 C13 C14
    const bool erase = (nibbles[3] & 0x08) != 0;                   // C4
    const bool newsflash = (nibbles[5] & 0x04) != 0;               // C5
    const bool subtitle = (nibbles[5] & 0x08) != 0;                // C6
    boxedOnly_ = subtitle || newsflash;
    pts_ = pts;
    if (erase) {
        std::memset(rows_, 0x20, sizeof rows_);
        dirty_ = true;  // an erased page clears the screen even before its rows
    }
}

void TeletextSubtitleDecoder::Emit(std::vector<TeletextSubtitle>& out)
{
    TeletextSubtitle subtitle;
    subtitle.pts = pts_;
    subtitle.page = page_;
    for (unsigned row = 1; row <= 23; ++row) {
        TeletextRow rendered = Render(row);
        if (!rendered.spans.empty())
            subtitle.rows.push_back(std::move(rendered));
    }
    out.push_back(std::move(subtitle));
    dirty_ = false;
}

TeletextRow TeletextSubtitleDecoder::Render(unsigned row) const
{
    TeletextRow out;
    out.row = row;
    TeletextColour foreground = TeletextColour::White;
    TeletextColour background = TeletextColour::Black;
    bool boxed = false;
    TeletextSpan* span = nullptr;
    for (unsigned column = 0; column < 40; ++column) {
        const std::uint8_t code = rows_[row][column];
        // "Set-at" attributes change this cell; "set-after" ones the next.
        if (code == kBlackBackground)
            background = TeletextColour::Black;
        else if (code == kNewBackground)
            background = foreground;
        const bool shown = boxed || !boxedOnly_;
        const char16_t character = code < 0x20 ? u' ' : LatinG0(code, national_);
        if (shown) {
            if (!span || span->foreground != foreground || span->background != background ||
                span->column + span->text.size() != column) {
                out.spans.push_back(TeletextSpan{column, {}, foreground, background});
                span = &out.spans.back();
            }
            span->text += character;
        }
        if (code <= 0x07)
            foreground = static_cast<TeletextColour>(code);
        else if (code >= 0x10 && code <= 0x17)
            foreground = static_cast<TeletextColour>(code - 0x10);  // mosaics: only their colour matters here
        else if (code == kStartBox)
            boxed = true;
        else if (code == kEndBox)
            boxed = false;
        else if (code == kDoubleHeight)
            out.doubleHeight = true;  // a row of subtitles is double height or not as a whole
    }
    // Spaces at the edges of a box are its padding, not text.
    std::vector<TeletextSpan> trimmed;
    for (TeletextSpan& s : out.spans) {
        const auto first = s.text.find_first_not_of(u' ');
        if (first == std::u16string::npos)
            continue;
        const auto last = s.text.find_last_not_of(u' ');
        s.column += static_cast<unsigned>(first);
        s.text = s.text.substr(first, last - first + 1);
        trimmed.push_back(std::move(s));
    }
    out.spans = std::move(trimmed);
    return out;
}
