#include "record/timers/timer_file_name.h"

#include <cwchar>
#include <span>

#include "channels/text/text_decoders.h"
#include "common/wide_text.h"
#include "guide/schedule/event_texts.h"
#include "record/file_naming.h"

std::wstring WideFromUtf8(const std::string& text)
{
    std::u16string out;
    AppendUtf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), out);
    return ToWide(out);
}

std::string Utf8FromWide(const std::wstring& text)
{
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
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
