#include "app/rescan_report.h"

#include <span>

#include "channels/text/dvb_text.h"

namespace {

// The broadcast names, decoded, joined by commas.
std::wstring NameList(const std::vector<std::string>& names)
{
    std::wstring out;
    for (const std::string& name : names) {
        if (!out.empty())
            out += L", ";
        const std::u16string text =
            DecodeDvbText(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
        out.append(text.begin(), text.end());
    }
    return out;
}

}  // namespace

std::wstring RescanReport(const ScanMerge& merge)
{
    std::wstring report = MergeSummary(merge) + L".";
    if (!merge.added.empty())
        report += (merge.added.size() == 1 ? L"\nNouvelle : " : L"\nNouvelles : ") + NameList(merge.added);
    if (!merge.gone.empty())
        report += (merge.gone.size() == 1 ? L"\nDisparue : " : L"\nDisparues : ") + NameList(merge.gone);
    return report;
}
