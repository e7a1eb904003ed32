#include "channels/frequency_plan_win.h"

#include <array>
#include <vector>

#include "channels/chaine.h"
#include "channels/frequency_plan.h"

const wchar_t kUnspecifiedCity[] = L"Non précisée (scanne tous les canaux)";

namespace {

constexpr DWORD kSectionNamesChars = 8192;
constexpr const wchar_t* kCityKeys[kCityKeyCount] = {L"R1", L"R2", L"R3", L"R4", L"R5", L"R6"};

}  // namespace

std::wstring FrequencyPlanPath()
{
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring path(needed, L'\0');
    const DWORD length = needed ? GetCurrentDirectoryW(needed, path.data()) : 0;
    path.resize(length < needed ? length : 0);
    return path + L"\\canaux.ini";
}

void BuildFrequencyList(const wchar_t* city, const std::wstring& iniPath,
                        std::vector<std::int32_t>& frequencies)
{
    std::array<long long, kCityKeyCount> channels{};
    for (int k = 0; k < kCityKeyCount; ++k) {
        // The value comes back as UINT; a written "-3" is the signed number the user meant.
        const UINT value = GetPrivateProfileIntW(city ? city : L"", kCityKeys[k], 0, iniPath.c_str());
        channels[static_cast<std::size_t>(k)] = static_cast<INT>(value);
    }
    AppendCityFrequencies(frequencies, channels);
}

void BuildFrequencyList(const wchar_t* city)
{
    BuildFrequencyList(city, FrequencyPlanPath(), Frequences);
}

std::vector<std::wstring> ReadCityList(const std::wstring& iniPath)
{
    std::vector<std::wstring> entries{kUnspecifiedCity};
    std::vector<wchar_t> buffer(kSectionNamesChars, L'\0');
    const DWORD copied = GetPrivateProfileSectionNamesW(buffer.data(), kSectionNamesChars, iniPath.c_str());
    // The names follow one another, each ended by a NUL; `copied` bounds the walk
    // even when the buffer was too small for all of them.
    DWORD pos = 0;
    while (pos < copied && pos < kSectionNamesChars && buffer[pos] != L'\0') {
        DWORD end = pos;
        while (end < copied && end < kSectionNamesChars && buffer[end] != L'\0')
            ++end;
        entries.emplace_back(buffer.data() + pos, end - pos);
        pos = end + 1;
    }
    return entries;
}

void FillCityList(HWND dialog, int comboId)
{
    for (const std::wstring& entry : ReadCityList(FrequencyPlanPath()))
        SendDlgItemMessageW(dialog, comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}
