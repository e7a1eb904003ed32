#include "channels/text/dvb_text.h"

#include "channels/text/text_decoders.h"

namespace {

// First bytes of a text that select its table (ETSI EN 300 468, table A.3).
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kIso8859Selector = 0x10;  // then 16 bits: the part
constexpr std::uint8_t kUcs2Selector = 0x11;
constexpr std::uint8_t kUtf8Selector = 0x15;
constexpr std::uint8_t kEncodingTypeSelector = 0x1F;  // then one byte: encoding_type_id

struct Selection {
    DvbTextTable table;
    std::size_t skip;  // selector bytes before the text proper
};

bool IsIso8859Part(unsigned part)
{
    return part >= 1 && part <= 15 && part != 12;
}

Selection ReadSelector(std::span<const std::uint8_t> text)
{
    if (text.empty() || text[0] >= kFirstPrintable)
        return {DvbTextTable::Iso6937, 0};
    const std::uint8_t selector = text[0];
    // 0x01..0x0B name parts 5 to 15 in order; 0x08 would be part 12, which
    // was never published, and stays reserved.
    if (selector >= 0x01 && selector <= 0x0B && selector != 0x08)
        return {static_cast<DvbTextTable>(selector + 4), 1};
    switch (selector) {
    case kIso8859Selector: {
        if (text.size() < 3)
            return {DvbTextTable::Iso8859_1, text.size()};
        const unsigned part = static_cast<unsigned>(text[1] << 8 | text[2]);
        return {IsIso8859Part(part) ? static_cast<DvbTextTable>(part) : DvbTextTable::Iso8859_1, 3};
    }
    case kUcs2Selector:
        return {DvbTextTable::Ucs2, 1};
    case kUtf8Selector:
        return {DvbTextTable::Utf8, 1};
    case kEncodingTypeSelector:
        return {DvbTextTable::Iso8859_1, text.size() < 2 ? text.size() : 2};
    default:
        return {DvbTextTable::Iso8859_1, 1};
    }
}

}  // namespace

std::u16string DecodeDvbText(std::span<const std::uint8_t> text)
{
    const Selection selection = ReadSelector(text);
    return DecodeDvbText(text.subspan(selection.skip), selection.table);
}

std::u16string DecodeDvbText(std::span<const std::uint8_t> text, DvbTextTable table)
{
    if (table == DvbTextTable::FromText)
        return DecodeDvbText(text);
    std::u16string out;
    out.reserve(text.size());
    switch (table) {
    case DvbTextTable::Iso6937:
        AppendIso6937(text, out);
        break;
    case DvbTextTable::Ucs2:
        AppendUcs2(text, out);
        break;
    case DvbTextTable::Utf8:
        AppendUtf8(text, out);
        break;
    default: {
        const auto part = static_cast<unsigned>(table);
        AppendIso8859(text, IsIso8859Part(part) ? static_cast<int>(part) : 1, out);
        break;
    }
    }
    return out;
}
