#include "standins/demux/section_router.h"

#include <utility>

#include "channels/psi/crc32.h"

namespace {

constexpr std::size_t kSectionHeaderSize = 3;
// Long form: five bytes after section_length, then the CRC_32.
constexpr std::size_t kLongFormMinimum = kSectionHeaderSize + 5 + 4;

}  // namespace

SectionRouter::SectionRouter(PidMapper pidMapper) : pidMapper_(std::move(pidMapper)) {}

bool SectionRouter::IsWholeValidSection(const std::uint8_t* section, std::size_t size)
{
    if (section == nullptr || size < kSectionHeaderSize)
        return false;
    const std::size_t sectionLength = static_cast<std::size_t>(section[1] & 0x0F) << 8 | section[2];
    if (kSectionHeaderSize + sectionLength != size)
        return false;
    const bool longForm = (section[1] & 0x80) != 0;
    if (!longForm)
        return true;  // nothing to check it against
    return size >= kLongFormMinimum && Crc32Mpeg(section, size) == 0;
}

void SectionRouter::AddUser(std::uint16_t pid)
{
    if (++users_[pid] == 1 && pidMapper_)
        pidMapper_(pid, true);
}

void SectionRouter::RemoveUser(std::uint16_t pid)
{
    auto found = users_.find(pid);
    if (found == users_.end())
        return;
    if (--found->second > 0)
        return;
    users_.erase(found);
    if (pidMapper_)
        pidMapper_(pid, false);
}

SectionRouter::Id SectionRouter::OpenRequest(std::uint16_t pid, std::uint8_t tableId)
{
    std::lock_guard<std::mutex> mapping(mappingMutex_);
    Id id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = nextId_++;
        requests_.emplace(id, Request{pid, tableId, false, {}});
    }
    // Registered before the PID is mapped, so nothing that follows is missed.
    AddUser(pid);
    return id;
}

std::vector<std::uint8_t> SectionRouter::WaitRequest(Id id, std::chrono::milliseconds timeout)
{
    std::vector<std::uint8_t> section;
    std::uint16_t pid = 0;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        auto found = requests_.find(id);
        if (found == requests_.end())
            return section;
        answered_.wait_for(lock, timeout, [&] { return found->second.answered || shutDown_; });
        section = std::move(found->second.section);
        pid = found->second.pid;
        requests_.erase(found);
    }
    std::lock_guard<std::mutex> mapping(mappingMutex_);
    RemoveUser(pid);
    return section;
}

SectionRouter::Id SectionRouter::OpenStream(std::uint16_t pid, std::uint8_t tableId, StreamSink sink)
{
    std::lock_guard<std::mutex> mapping(mappingMutex_);
    Id id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = nextId_++;
        streams_.emplace(id, Stream{pid, tableId, std::move(sink)});
    }
    AddUser(pid);
    return id;
}

void SectionRouter::CloseStream(Id id)
{
    std::lock_guard<std::mutex> mapping(mappingMutex_);
    std::uint16_t pid = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = streams_.find(id);
        if (found == streams_.end())
            return;
        pid = found->second.pid;
        streams_.erase(found);
    }
    RemoveUser(pid);
}

void SectionRouter::Deliver(std::uint32_t pid, const std::uint8_t* section, std::size_t size)
{
    if (!IsWholeValidSection(section, size))
        return;
    const std::uint8_t tableId = section[0];
    const auto matches = [&](std::uint16_t wantedPid, std::uint8_t wantedTable) {
        return wantedTable == tableId && (pid == kUnknownPid || pid == wantedPid);
    };
    std::lock_guard<std::mutex> lock(mutex_);
    bool wake = false;
    for (auto& [id, request] : requests_) {
        if (request.answered || !matches(request.pid, request.tableId))
            continue;
        request.section.assign(section, section + size);
        request.answered = true;
        wake = true;
    }
    if (wake)
        answered_.notify_all();
    for (auto& [id, stream] : streams_) {
        if (matches(stream.pid, stream.tableId))
            stream.sink(section, size);
    }
}

void SectionRouter::Shutdown()
{
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    answered_.notify_all();
}
