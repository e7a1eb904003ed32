#include "channels/channel_choices.h"

#include <algorithm>

std::vector<ChannelChoice> ChannelChoices;

ServiceKey KeyOf(const Chaine& channel)
{
    return ServiceKey{static_cast<std::uint16_t>(channel.ONID), static_cast<std::uint16_t>(channel.TSID),
                      static_cast<std::uint16_t>(channel.SID)};
}

namespace {

// The record's name up to its terminator, never past its array.
std::string NameOf(const Chaine& channel)
{
    const char* end = std::find(std::begin(channel.Nom), std::end(channel.Nom), '\0');
    return std::string(channel.Nom, end);
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The first old entry not yet taken that `same` accepts, or kNone.
template <typename Same>
std::size_t FirstUntaken(const std::vector<ChannelChoice>& old, const std::vector<bool>& taken, Same same)
{
    for (std::size_t i = 0; i < old.size(); ++i)
        if (!taken[i] && same(old[i]))
            return i;
    return kNone;
}

// The one and the several of a count: "1 nouvelle chaîne", "3 nouvelles chaînes".
std::wstring Counted(std::size_t n, const wchar_t* one, const wchar_t* several)
{
    return std::to_wstring(n) + L" " + (n == 1 ? one : several);
}

}  // namespace

std::vector<ChannelChoice> ChoicesOf(const ChannelList& scanned)
{
    std::vector<ChannelChoice> choices;
    choices.reserve(scanned.size());
    for (const Chaine& channel : scanned)
        choices.push_back(ChannelChoice{KeyOf(channel), NameOf(channel), {}, false, false});
    return choices;
}

std::string_view ShownName(const ChannelChoice& choice)
{
    return choice.userName.empty() ? choice.broadcastName : choice.userName;
}

bool Rename(ChannelChoice& choice, std::string_view text)
{
    const bool cut = text.size() > kUserNameCapacity;
    choice.userName = text.substr(0, kUserNameCapacity);
    return cut;
}

int OtherShowingName(const std::vector<ChannelChoice>& choices, int index, std::string_view name)
{
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (static_cast<int>(i) != index && ShownName(choices[i]) == name)
            return static_cast<int>(i);
    return -1;
}

ScanMerge MergeScan(const std::vector<ChannelChoice>& old, const ChannelList& scanned)
{
    // Which old entry each scanned channel continues: every match by key first, so
    // that a namesake met earlier in the scan cannot take a channel's own entry;
    // then by name, in scan order (of two channels of one name the first scanned
    // takes the first kept).
    std::vector<bool> taken(old.size(), false);
    std::vector<std::size_t> matchOf(scanned.size(), kNone);
    const auto match = [&](std::size_t s, std::size_t i) {
        matchOf[s] = i;
        if (i != kNone)
            taken[i] = true;
    };
    for (std::size_t s = 0; s < scanned.size(); ++s) {
        const ServiceKey key = KeyOf(scanned[s]);
        match(s, FirstUntaken(old, taken, [&](const ChannelChoice& c) { return c.key == key; }));
    }
    for (std::size_t s = 0; s < scanned.size(); ++s) {
        if (matchOf[s] != kNone)
            continue;
        const std::string name = NameOf(scanned[s]);
        match(s, FirstUntaken(old, taken, [&](const ChannelChoice& c) { return c.broadcastName == name; }));
    }

    ScanMerge merge;
    std::vector<std::size_t> scanOfOld(old.size(), kNone);
    for (std::size_t s = 0; s < scanned.size(); ++s)
        if (matchOf[s] != kNone)
            scanOfOld[matchOf[s]] = s;
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (scanOfOld[i] == kNone) {
            merge.gone.push_back(old[i].broadcastName);
            continue;
        }
        ChannelChoice kept = old[i];
        kept.key = KeyOf(scanned[scanOfOld[i]]);
        kept.broadcastName = NameOf(scanned[scanOfOld[i]]);
        merge.order.push_back(scanOfOld[i]);
        merge.choices.push_back(std::move(kept));
    }

    // New channels, in scan order, each after the channel placed just before it.
    std::size_t after = 0;  // insertion point for the next new channel
    for (std::size_t s = 0; s < scanned.size(); ++s) {
        if (matchOf[s] != kNone) {
            after = static_cast<std::size_t>(std::find(merge.order.begin(), merge.order.end(), s) -
                                             merge.order.begin()) + 1;
            continue;
        }
        const ChannelChoice fresh{KeyOf(scanned[s]), NameOf(scanned[s]), {}, false, false};
        merge.added.push_back(fresh.broadcastName);
        merge.order.insert(merge.order.begin() + static_cast<std::ptrdiff_t>(after), s);
        merge.choices.insert(merge.choices.begin() + static_cast<std::ptrdiff_t>(after), fresh);
        ++after;
    }
    return merge;
}

std::wstring MergeSummary(const ScanMerge& merge)
{
    const std::size_t added = merge.added.size();
    const std::size_t gone = merge.gone.size();
    if (added == 0 && gone == 0)
        return L"Aucune cha\u00eene nouvelle ni disparue";
    if (gone == 0)
        return Counted(added, L"nouvelle cha\u00eene", L"nouvelles cha\u00eenes");
    if (added == 0)
        return Counted(gone, L"cha\u00eene disparue", L"cha\u00eenes disparues");
    return Counted(added, L"nouvelle cha\u00eene", L"nouvelles cha\u00eenes") + L", " +
           Counted(gone, L"disparue", L"disparues");
}

namespace {

// The first position from `current` going `way`, wrapping, that `wanted` accepts,
// the current one excepted; -1 when there is none. A current position outside the
// list starts before the first (Next) or after the last (Previous).
template <typename Wanted>
int StepTo(std::size_t count, int current, StepWay way, Wanted wanted)
{
    const auto n = static_cast<long long>(count);
    if (n == 0)
        return -1;
    const bool valid = current >= 0 && current < n;
    const long long delta = way == StepWay::Next ? 1 : n - 1;
    long long at = valid ? current : (way == StepWay::Next ? n - 1 : 0);
    for (long long tried = 0; tried < (valid ? n - 1 : n); ++tried) {
        at = (at + delta) % n;
        if (wanted(static_cast<std::size_t>(at)))
            return static_cast<int>(at);
    }
    return -1;
}

}  // namespace

int StepVisible(const std::vector<ChannelChoice>& choices, int current, StepWay way)
{
    return StepTo(choices.size(), current, way, [&](std::size_t i) { return !choices[i].hidden; });
}

int NextFavourite(const std::vector<ChannelChoice>& choices, int current)
{
    // A hidden channel is out of the menu, favourites included.
    return StepTo(choices.size(), current, StepWay::Next,
                  [&](std::size_t i) { return choices[i].favourite && !choices[i].hidden; });
}

int MoveTarget(std::size_t count, int index, StepWay way)
{
    if (index < 0 || static_cast<std::size_t>(index) >= count)
        return -1;
    const int target = way == StepWay::Next ? index + 1 : index - 1;
    return target >= 0 && static_cast<std::size_t>(target) < count ? target : -1;
}
