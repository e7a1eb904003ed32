#pragma once
// Filter and pin information structures carry their names in fixed arrays.
#include <cstddef>
#include <string>

// Copies as much of `name` as fits in `capacity` characters, always terminated.
template <std::size_t N>
void CopyNameInto(wchar_t (&target)[N], const std::wstring& name)
{
    std::size_t count = name.size() < N - 1 ? name.size() : N - 1;
    name.copy(target, count);
    target[count] = L'\0';
}
