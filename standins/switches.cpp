#include "standins/switches.h"

#include <array>

namespace standins {

namespace {

using Flag = bool StandinSwitches::*;

struct NamedFlag {
    std::string_view name;
    Flag flag;
};

constexpr std::array<NamedFlag, 11> kFlags = {{
    {"odd-samples", &StandinSwitches::oddSamples},
    {"lazy-pins", &StandinSwitches::lazyPins},
    {"accepting-antenna", &StandinSwitches::acceptingAntenna},
    {"blocking-antenna", &StandinSwitches::blockingAntenna},
    {"forgetful", &StandinSwitches::forgetful},
    {"strict-sections", &StandinSwitches::strictSections},
    {"no-sections", &StandinSwitches::noSections},
    {"no-mpeg2-video", &StandinSwitches::noMpeg2Video},
    {"no-ac3", &StandinSwitches::noAc3},
    {"strict-aac", &StandinSwitches::strictAac},
    {"slow-psi", &StandinSwitches::slowPsi},
}};

constexpr std::string_view kSlowLock = "slow-lock=";

std::string_view Trim(std::string_view word)
{
    while (!word.empty() && (word.front() == ' ' || word.front() == '\t')) word.remove_prefix(1);
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.remove_suffix(1);
    return word;
}

// Milliseconds of "slow-lock=MS"; false when not a decimal number within range.
bool ReadMilliseconds(std::string_view digits, std::uint32_t& value)
{
    if (digits.empty()) return false;
    std::uint64_t total = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        total = total * 10 + static_cast<std::uint64_t>(c - '0');
        if (total > kMaxSlowLockMs) return false;
    }
    value = static_cast<std::uint32_t>(total);
    return true;
}

bool Apply(std::string_view word, StandinSwitches& switches)
{
    for (const NamedFlag& entry : kFlags) {
        if (word == entry.name) {
            switches.*entry.flag = true;
            return true;
        }
    }
    if (word.starts_with(kSlowLock)) return ReadMilliseconds(word.substr(kSlowLock.size()), switches.slowLockMs);
    return false;
}

}  // namespace

StandinSwitches ParseStandinSwitches(std::string_view text)
{
    StandinSwitches switches;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view word = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (word.empty()) continue;
        if (!Apply(word, switches)) switches.unknown.emplace_back(word);
    }
    return switches;
}

}  // namespace standins
