// The DVB text decoder on any bytes: with the table the bytes select, and with a
// table chosen beforehand as the guide does. The result is never longer than
// the bytes, and is well-formed UTF-16 without control codes.
#include <span>
#include <string>

#include "channels/text/dvb_text.h"

namespace {

bool WellFormedOneLine(const std::u16string& s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xE080 && c <= 0xE09F) || (c >= 0xDC00 && c <= 0xDFFF))
            return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF)
                return false;
            ++i;
        }
    }
    return true;
}

void Check(std::span<const std::uint8_t> text, DvbTextTable table)
{
    const std::u16string decoded = DecodeDvbText(text, table);
    if (decoded.size() > text.size() || !WellFormedOneLine(decoded))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> text(data, size);
    Check(text, DvbTextTable::FromText);
    if (size > 0)
        Check(text.subspan(1), static_cast<DvbTextTable>(data[0]));
    return 0;
}
