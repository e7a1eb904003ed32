#include "channels/psi/section_reader.h"

#include <bitset>
#include <climits>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "channels/psi/section_assembler.h"
#include "channels/psi/ts_packet.h"

namespace {

struct PendingRequest {
    std::uint16_t pid;
    std::uint8_t tableId;
    SectionReader::Wake wake;
    bool done = false;
    std::vector<std::uint8_t> section;
};

struct SectionStream {
    std::uint16_t pid;
    std::uint8_t firstTable;
    std::uint8_t lastTable;
    std::size_t backlog;
    bool shortForm;
    SectionReader::Wake wake;
    std::deque<std::vector<std::uint8_t>> queue;
};

bool LongForm(const std::uint8_t* section) { return (section[1] & 0x80) != 0; }

}  // namespace

// `delivery` is held for a whole OnPackets and by Reset; `state` guards the
// requests, the streams and the assemblers. Cancel and CloseStream take
// `delivery` after removing their entry, so no wake of theirs runs once they
// return: the owner may then close the event the wake sets.
struct SectionReader::State {
    std::mutex delivery;
    std::mutex state;
    int lastId = 0;
    std::map<int, PendingRequest> requests;
    std::map<int, SectionStream> streams;
    // One assembler per PID that someone reads, with how many read it.
    struct PidFollow {
        std::unique_ptr<SectionAssembler> assembler;
        int readers = 0;
    };
    std::map<std::uint16_t, PidFollow> follows;
    std::bitset<kTsMaxPid + 1> followed;
    // Wakes due once `state` is let go (streaming thread, under `delivery`).
    std::vector<Wake> wakes;

    int NextId() { return lastId = lastId == INT_MAX ? 1 : lastId + 1; }
    void Follow(std::uint16_t pid);
    void Unfollow(std::uint16_t pid);
    void OnSection(std::uint16_t pid, const std::uint8_t* section, std::size_t size);
};

void SectionReader::State::Follow(std::uint16_t pid)
{
    auto& follow = follows[pid];
    if (!follow.assembler) {
        // Short-form sections come out too; each reader decides whether it takes them.
        follow.assembler = std::make_unique<SectionAssembler>(
            pid, [this, pid](const std::uint8_t* section, std::size_t size) { OnSection(pid, section, size); },
            true);
        followed.set(pid);
    }
    ++follow.readers;
}

void SectionReader::State::Unfollow(std::uint16_t pid)
{
    const auto found = follows.find(pid);
    if (found == follows.end() || --found->second.readers > 0)
        return;
    follows.erase(found);
    followed.reset(pid);
}

void SectionReader::State::OnSection(std::uint16_t pid, const std::uint8_t* section, std::size_t size)
{
    const std::uint8_t table = section[0];
    for (auto& [id, request] : requests) {
        if (request.done || request.pid != pid || request.tableId != table)
            continue;
        request.section.assign(section, section + size);
        request.done = true;
        if (request.wake)
            wakes.push_back(request.wake);
    }
    for (auto& [id, stream] : streams) {
        if (stream.pid != pid || table < stream.firstTable || table > stream.lastTable)
            continue;
        if (!LongForm(section) && !stream.shortForm)
            continue;
        const bool wasEmpty = stream.queue.empty();
        while (stream.backlog > 0 && stream.queue.size() >= stream.backlog)
            stream.queue.pop_front();
        if (stream.backlog == 0)
            continue;
        stream.queue.emplace_back(section, section + size);
        if (wasEmpty && stream.wake)
            wakes.push_back(stream.wake);
    }
}

SectionReader::SectionReader() : state_(std::make_unique<State>()) {}

SectionReader::~SectionReader() = default;

bool SectionReader::OnPackets(const std::uint8_t* packets, std::size_t count)
{
    State& s = *state_;
    const std::lock_guard<std::mutex> delivery(s.delivery);
    {
        const std::lock_guard<std::mutex> lock(s.state);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* packet = packets + i * kTsPacketSize;
            const std::uint16_t pid = static_cast<std::uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
            if (!s.followed.test(pid))
                continue;
            const auto found = s.follows.find(pid);
            if (found != s.follows.end())
                found->second.assembler->FeedPacket(ReadTsPacket(packet, kTsPacketSize));
        }
    }
    for (const Wake& wake : s.wakes)
        wake();
    s.wakes.clear();
    return true;
}

int SectionReader::Request(std::uint16_t pid, std::uint8_t tableId, Wake wake)
{
    pid &= kTsMaxPid;
    const std::lock_guard<std::mutex> lock(state_->state);
    const int id = state_->NextId();
    state_->requests.emplace(id, PendingRequest{pid, tableId, std::move(wake), false, {}});
    state_->Follow(pid);
    return id;
}

bool SectionReader::Take(int request, std::vector<std::uint8_t>& section)
{
    const std::lock_guard<std::mutex> lock(state_->state);
    const auto found = state_->requests.find(request);
    if (found == state_->requests.end() || !found->second.done)
        return false;
    section = std::move(found->second.section);
    found->second.section.clear();
    return true;
}

void SectionReader::Cancel(int request)
{
    {
        const std::lock_guard<std::mutex> lock(state_->state);
        const auto found = state_->requests.find(request);
        if (found == state_->requests.end())
            return;
        state_->Unfollow(found->second.pid);
        state_->requests.erase(found);
    }
    // A delivery under way may be about to run this request's wake.
    const std::lock_guard<std::mutex> wait(state_->delivery);
}

int SectionReader::OpenStream(std::uint16_t pid, std::uint8_t firstTable, std::uint8_t lastTable,
                              std::size_t backlog, bool shortForm, Wake wake)
{
    pid &= kTsMaxPid;
    const std::lock_guard<std::mutex> lock(state_->state);
    const int id = state_->NextId();
    state_->streams.emplace(id, SectionStream{pid, firstTable, lastTable, backlog, shortForm, std::move(wake), {}});
    state_->Follow(pid);
    return id;
}

bool SectionReader::Next(int stream, std::vector<std::uint8_t>& section)
{
    const std::lock_guard<std::mutex> lock(state_->state);
    const auto found = state_->streams.find(stream);
    if (found == state_->streams.end() || found->second.queue.empty())
        return false;
    section = std::move(found->second.queue.front());
    found->second.queue.pop_front();
    return true;
}

void SectionReader::CloseStream(int stream)
{
    {
        const std::lock_guard<std::mutex> lock(state_->state);
        const auto found = state_->streams.find(stream);
        if (found == state_->streams.end())
            return;
        state_->Unfollow(found->second.pid);
        state_->streams.erase(found);
    }
    const std::lock_guard<std::mutex> wait(state_->delivery);
}

void SectionReader::Reset()
{
    const std::lock_guard<std::mutex> delivery(state_->delivery);
    const std::lock_guard<std::mutex> lock(state_->state);
    for (auto& [pid, follow] : state_->follows)
        follow.assembler->Reset();
}
