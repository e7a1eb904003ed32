#include "record/timers/timer_file_name.h"

#include <cwchar>
#include <span>

#include "channels/text/text_decoders.h"
#include "common/wide_text.h"
#include "record/file_naming.h"

std::wstring WideFromUtf8(const std::string& text)
{
    std::u16string out;
    AppendUtf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), out);
    return ToWide(out);
}

std::string Utf8FromWide(const std::wstring& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<std::uint32_t>(text[i]);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<std::uint32_t>(text[++i]) - 0xDC00);
        else if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            code = 0xFFFD;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::wstring TimerFileStem(const Timer& timer, const LocalDateTime& localStart, bool late)
{
    wchar_t date[48];
    std::swprintf(date, sizeof date / sizeof date[0], L"%02d-%02d-%04d %02d-%02d", localStart.day, localStart.month,
                  localStart.year, localStart.hour, localStart.minute);
    // Channel and title together through the safe-name rules: a "/" in a title
    // must not make a folder, and the length cap covers both.
    std::wstring stem = SafeNamePart(WideFromUtf8(timer.channel) + L" - " + WideFromUtf8(timer.title));
    if (!stem.empty())
        stem.push_back(L' ');
    stem += date;
    if (late)
        stem += L" (commenc\u00e9 en retard)";
    return stem;
}
