#include "graph/playback_live_hold.h"

#include <bdaiface.h>

#include "graph/graph_handles.h"

namespace {

IMPEG2PIDMap* LivePin(int index)
{
    IMPEG2PIDMap* const pins[] = {videoPidMap.Get(), audioPidMap.Get(), ac3PidMap.Get()};
    return pins[index];
}

std::vector<std::uint32_t> MappedPids(IMPEG2PIDMap* map)
{
    std::vector<std::uint32_t> pids;
    ComPtr<IEnumPIDMap> entries;
    if (!map || FAILED(map->EnumPIDMap(entries.Put())) || !entries)
        return pids;
    PID_MAP entry{};
    ULONG got = 0;
    // A pin carries a handful of PIDs at most; the bound keeps a broken
    // enumerator from running on.
    for (int i = 0; i < 64 && entries->Next(1, &entry, &got) == S_OK && got == 1; ++i)
        pids.push_back(entry.ulPID);
    return pids;
}

}  // namespace

LiveHold::LiveHold()
{
    for (int i = 0; i < 3; ++i) {
        IMPEG2PIDMap* map = LivePin(i);
        held_[i] = MappedPids(map);
        for (std::uint32_t pid : held_[i]) {
            ULONG value = pid;
            map->UnmapPID(1, &value);
        }
    }
}

LiveHold::~LiveHold()
{
    for (int i = 0; i < 3; ++i) {
        IMPEG2PIDMap* map = LivePin(i);
        if (!map)
            continue;
        for (std::uint32_t pid : held_[i]) {
            ULONG value = pid;
            map->MapPID(1, &value, MEDIA_ELEMENTARY_STREAM);
        }
    }
}
