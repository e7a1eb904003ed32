#pragma once
// Reads a broadcast description (the format is documented in README.md).
#include <string_view>

#include "tools/tsgen/description.h"
#include "tools/tsgen/description_lexer.h"

namespace tsgen {

// Parses and checks a whole description. Throws DescriptionError naming the
// first faulty line.
Description ParseDescription(std::string_view text);

}  // namespace tsgen
