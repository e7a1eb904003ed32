#include "config/settings_rules.h"

#include "resources/resource_ids.h"

int PriorityCommandFromText(std::wstring_view text)
{
    if (text == L"Haute")
        return IDM_PRIORITY_HIGH;
    if (text == L"Normale")
        return IDM_PRIORITY_NORMAL;
    if (text == L"Inf\u00e9rieure")
        return IDM_PRIORITY_BELOW;
    return IDM_PRIORITY_ABOVE;
}

const wchar_t* PriorityTextFor(PriorityLevel level)
{
    switch (level) {
    case PriorityLevel::Normal: return L"Normale";
    case PriorityLevel::High: return L"Haute";
    case PriorityLevel::BelowNormal: return L"Inf\u00e9rieure";
    default: return L"Sup\u00e9rieure";
    }
}

bool FlagFromText(std::wstring_view text, bool current)
{
    return text == L"Vrai" ? true : current;
}

const wchar_t* FlagText(bool value)
{
    return value ? L"Vrai" : L"Faux";
}

int MarginFromText(std::wstring_view text, int fallback)
{
    if (text.empty())
        return fallback;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return fallback;
        if (value <= kMaxMarginSetting)  // past it the count only needs to stay past it
            value = value * 10 + (c - L'0');
    }
    return value > kMaxMarginSetting ? kMaxMarginSetting : value;
}
