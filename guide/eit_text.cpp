#include "guide/eit_text.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kLatin5Selector = 0x05;

}  // namespace

void CopyEitText(std::size_t length, const std::uint8_t* source, char* destination, std::size_t destinationSize)
{
    if (destinationSize == 0)
        return;
    if (length > 0 && source[0] == kLatin5Selector) {
        ++source;
        --length;
    }
    const std::size_t n = std::min(length, destinationSize - 1);
    if (n > 0)
        std::memcpy(destination, source, n);
    destination[n] = '\0';
}
