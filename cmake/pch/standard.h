// Standard library headers that most files include; precompiled for every target.
// Marked as a system header so that its contents are judged as the compiler
// judges them when a file includes them itself.
#pragma GCC system_header
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
