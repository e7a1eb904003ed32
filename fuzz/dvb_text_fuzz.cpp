// The DVB text decoder on any bytes: with the table the bytes select, and with a
// table chosen beforehand as the guide does. The result is never longer than
// the bytes, and is well-formed UTF-16 without control codes.
#include <span>
#include <string>

#include "channels/text/dvb_text.h"
#include "tests/support/one_line_text.h"

namespace {

void Check(std::span<const std::uint8_t> text, DvbTextTable table)
{
    const std::u16string decoded = DecodeDvbText(text, table);
    if (decoded.size() > text.size() || !tstest::IsOneLineUtf16(decoded))
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
