#include "guide/eit_text.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kLatin5Selector = 0x05;

}  // namespace

DvbTextTable CopyEitText(std::size_t length, const std::uint8_t* source, char* destination,
                         std::size_t destinationSize)
{
    DvbTextTable table = DvbTextTable::FromText;
    if (length > 0 && source[0] == kLatin5Selector) {
        ++source;
        --length;
        table = DvbTextTable::Iso8859_9;
    }
    if (destinationSize == 0)
        return table;
    const std::size_t n = std::min(length, destinationSize - 1);
    if (n > 0)
        std::memcpy(destination, source, n);
    destination[n] = '\0';
    return table;
}
