#pragma once
// Teletext subtitles: the teletext packets of one page, carried in the data
// units of PES packets, decoded into the rows of text a viewer is shown.
//
// A page is sent as its header (packet 0) and then its rows (packets 1 to 23)
// in the page's magazine. It is shown as it arrives: at the end of each PES
// packet that changed it, and when the next header of its magazine (of any
// magazine, in serial mode) ends it. A subtitle page shows only its boxed text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TeletextColour : std::uint8_t { Black, Red, Green, Yellow, Blue, Magenta, Cyan, White };

// Text of one colour on one background, from `column` (0-39).
struct TeletextSpan {
    unsigned column = 0;
    std::u16string text;
    TeletextColour foreground = TeletextColour::White;
    TeletextColour background = TeletextColour::Black;
    friend bool operator==(const TeletextSpan&, const TeletextSpan&) = default;
};

struct TeletextRow {
    unsigned row = 0;  // 1-23
    bool doubleHeight = false;
    std::vector<TeletextSpan> spans;
};

struct TeletextSubtitle {
    std::int64_t pts = 0;  // of the PES that carried the page's header
    std::uint16_t page = 0;
    std::vector<TeletextRow> rows;  // none: the screen is cleared
};

class TeletextSubtitleDecoder {
public:
    // `page` as shown, magazine and page number in hex: 0x888.
    explicit TeletextSubtitleDecoder(std::uint16_t page);

    // The data field of one PES packet (from its data_identifier), with its PTS.
    std::vector<TeletextSubtitle> Decode(const std::uint8_t* data, std::size_t size, std::int64_t pts);

    void Reset();

private:
    void Packet(const std::uint8_t* unit, std::int64_t pts, std::vector<TeletextSubtitle>& out);
    void Header(unsigned magazine, const std::uint8_t* block, std::int64_t pts, std::vector<TeletextSubtitle>& out);
    void Emit(std::vector<TeletextSubtitle>& out);
    TeletextRow Render(unsigned row) const;

    std::uint16_t page_;
    bool receiving_ = false;
    bool serial_ = false;
    bool boxedOnly_ = true;
    bool dirty_ = false;
    std::uint8_t national_ = 0;
    std::int64_t pts_ = 0;
    // The page's rows as 7-bit codes, 0x20 where nothing (or a bad byte) came.
    std::uint8_t rows_[24][40];
};
