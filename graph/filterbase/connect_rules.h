#pragma once
// Rules of media-type negotiation that do not need the platform: how a type check's
// answer is read, which failure a whole negotiation reports, and in which order the
// two pins' lists of types are tried.
#include <array>
#include <cstdint>

namespace filterbase {

// A pin's CheckMediaType accepts only with exactly S_OK. Any other success, and the two
// generic refusals E_FAIL and E_INVALIDARG, mean "type not accepted"; other errors pass.
int32_t ReadTypeCheck(int32_t checkResult);

// Collects the failures of successive connection attempts. The generic refusals say
// nothing about why no type fit, so an error of any other kind is reported in their
// place; without one the result is "no acceptable types".
class ConnectAttemptLog {
public:
    void Record(int32_t attemptResult);
    int32_t Result() const { return significant_; }

private:
    int32_t significant_ = static_cast<int32_t>(0x80040207u);  // VFW_E_NO_ACCEPTABLE_TYPES
};

enum class TypeSource { OtherPin, ThisPin };

// The other pin's types come first unless the pin asks to offer its own first.
constexpr std::array<TypeSource, 2> TypeSourceOrder(bool ownTypesFirst)
{
    if (ownTypesFirst) return {TypeSource::ThisPin, TypeSource::OtherPin};
    return {TypeSource::OtherPin, TypeSource::ThisPin};
}

// Pin identifiers are the pin's index plus one, as decimal text. Returns the index, or
// -1 for anything else (empty, signs, spaces, other characters, overflow).
int PinIndexFromId(const wchar_t* id);

}  // namespace filterbase
