#include "standins/demux/ts_router.h"

#include <algorithm>
#include <utility>

#include "channels/psi/section_assembler.h"

TsRouter::TsRouter(Sink sink) : sink_(std::move(sink)), routes_(kTsMaxPid + 1) {}

TsRouter::~TsRouter() = default;

bool TsRouter::Map(int output, std::uint16_t pid, PidContent content)
{
    if (pid > kTsMaxPid)
        return false;
    std::lock_guard<std::mutex> lock(mapMutex_);
    auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.output == output && e.mapping.pid == pid;
    });
    if (found != entries_.end())
        found->mapping.content = content;
    else
        entries_.push_back(Entry{output, PidMapping{pid, content}});
    ++version_;
    return true;
}

bool TsRouter::Unmap(int output, std::uint16_t pid)
{
    std::lock_guard<std::mutex> lock(mapMutex_);
    auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.output == output && e.mapping.pid == pid;
    });
    if (found == entries_.end())
        return false;
    entries_.erase(found);
    ++version_;
    return true;
}

void TsRouter::UnmapOutput(int output)
{
    std::lock_guard<std::mutex> lock(mapMutex_);
    std::erase_if(entries_, [&](const Entry& e) { return e.output == output; });
    ++version_;
}

std::vector<PidMapping> TsRouter::Mappings(int output) const
{
    std::lock_guard<std::mutex> lock(mapMutex_);
    std::vector<PidMapping> result;
    for (const Entry& e : entries_) {
        if (e.output == output)
            result.push_back(e.mapping);
    }
    return result;
}

void TsRouter::FollowClockOf(std::uint16_t pid)
{
    std::lock_guard<std::mutex> lock(mapMutex_);
    follow_ = pid;
    ++version_;
}

void TsRouter::ApplyMappings()
{
    std::vector<Entry> entries;
    std::optional<std::uint16_t> follow;
    {
        std::lock_guard<std::mutex> lock(mapMutex_);
        entries = entries_;
        follow = std::exchange(follow_, std::nullopt);
        appliedVersion_ = version_.load();
    }
    if (follow) stamper_.Follow(*follow);
    std::vector<std::unique_ptr<Route>> fresh(kTsMaxPid + 1);
    for (const Entry& e : entries) {
        auto& route = fresh[e.mapping.pid];
        if (!route)
            route = std::make_unique<Route>();
        route->targets.push_back(Target{e.output, e.mapping.content});
    }
    for (std::uint16_t pid = 0; pid <= kTsMaxPid; ++pid) {
        Route* route = fresh[pid].get();
        if (!route)
            continue;
        const auto wants = [&](PidContent c) {
            return std::any_of(route->targets.begin(), route->targets.end(),
                               [&](const Target& t) { return t.content == c; });
        };
        Route* old = routes_[pid].get();
        // A PID whose mapping did not change keeps its half-built unit.
        if (wants(PidContent::ElementaryStream)) {
            if (old && old->pes)
                route->pes = std::move(old->pes);
            else
                route->pes = std::make_unique<PesAssembler>(
                    pid, [this, pid](const PesChunk& chunk) { DeliverPes(pid, chunk); });
        }
        if (wants(PidContent::Psi)) {
            if (old && old->sections)
                route->sections = std::move(old->sections);
            else
                route->sections = std::make_unique<SectionAssembler>(
                    pid,
                    [this, pid](const std::uint8_t* section, std::size_t size) {
                        DeliverSection(pid, section, size);
                    },
                    true);
        }
        route->packets = wants(PidContent::TransportPacket);
    }
    routes_ = std::move(fresh);
}

void TsRouter::Feed(const std::uint8_t* bytes, std::size_t size, std::optional<std::int64_t> arrival)
{
    if (appliedVersion_ != version_.load())
        ApplyMappings();
    arrival_ = arrival;
    pending_.insert(pending_.end(), bytes, bytes + size);
    std::size_t at = 0;
    while (pending_.size() - at >= kTsPacketSize) {
        if (pending_[at] != kTsSyncByte) {
            // Lost sync: skip to the next byte that may start a packet.
            auto next = std::find(pending_.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                  pending_.end(), kTsSyncByte);
            at = static_cast<std::size_t>(next - pending_.begin());
            continue;
        }
        RoutePacket(pending_.data() + at);
        at += kTsPacketSize;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
    FlushPacketBatches();
}

void TsRouter::Reset()
{
    pending_.clear();
    stamper_.Reset();
    lastTimes_.clear();
    for (auto& route : routes_) {
        if (!route)
            continue;
        if (route->pes)
            route->pes->Reset();
        if (route->sections)
            route->sections->Reset();
    }
    for (Batch& batch : batches_)
        batch.bytes.clear();
}

void TsRouter::RoutePacket(const std::uint8_t* bytes)
{
    const TsPacket packet = ReadTsPacket(bytes, kTsPacketSize);
    if (!packet.headerRead())
        return;
    const std::uint16_t pid = packet.pid;
    stamper_.Packet(packet, arrival_);
    Route* route = routes_[pid].get();
    if (!route)
        return;
    if (route->pes)
        route->pes->FeedPacket(packet);
    if (route->sections)
        route->sections->FeedPacket(packet);
    if (!route->packets)
        return;
    for (const Target& t : route->targets) {
        if (t.content != PidContent::TransportPacket)
            continue;
        auto batch = std::find_if(batches_.begin(), batches_.end(),
                                  [&](const Batch& b) { return b.output == t.output; });
        if (batch == batches_.end()) {
            batches_.push_back(Batch{t.output, pid, {}});
            batch = batches_.end() - 1;
        }
        if (batch->bytes.empty())
            batch->firstPid = pid;
        batch->bytes.insert(batch->bytes.end(), bytes, bytes + kTsPacketSize);
    }
}

void TsRouter::FlushPacketBatches()
{
    for (Batch& batch : batches_) {
        if (batch.bytes.empty())
            continue;
        RoutedData data;
        data.output = batch.output;
        data.pid = batch.firstPid;
        data.content = PidContent::TransportPacket;
        data.data = batch.bytes.data();
        data.size = batch.bytes.size();
        sink_(data);
        batch.bytes.clear();
    }
}

void TsRouter::DeliverPes(std::uint16_t pid, const PesChunk& chunk)
{
    for (const Target& t : routes_[pid]->targets) {
        if (t.content != PidContent::ElementaryStream)
            continue;
        RoutedData data;
        data.output = t.output;
        data.pid = pid;
        data.content = t.content;
        data.data = chunk.data;
        data.size = chunk.size;
        data.unitStart = chunk.unitStart;
        data.discontinuity = chunk.discontinuity;
        data.hasPts = chunk.hasPts;
        data.pts = chunk.pts;
        data.unitEnd = chunk.unitEnd;
        data.streamId = chunk.streamId;
        if (chunk.unitStart && chunk.hasPts) data.time = TimeFor(t.output, chunk.pts);
        sink_(data);
    }
}

std::optional<std::int64_t> TsRouter::TimeFor(int output, std::uint64_t pts)
{
    std::optional<std::int64_t> time = stamper_.Stamp(pts);
    if (!time) return time;
    auto last = std::find_if(lastTimes_.begin(), lastTimes_.end(), [&](const auto& l) { return l.first == output; });
    if (last == lastTimes_.end()) {
        lastTimes_.emplace_back(output, *time);
        return time;
    }
    last->second = std::max(last->second, *time);  // never backwards on one output
    return last->second;
}

void TsRouter::DeliverSection(std::uint16_t pid, const std::uint8_t* section, std::size_t size)
{
    for (const Target& t : routes_[pid]->targets) {
        if (t.content != PidContent::Psi)
            continue;
        RoutedData data;
        data.output = t.output;
        data.pid = pid;
        data.content = t.content;
        data.data = section;
        data.size = size;
        data.unitStart = true;
        sink_(data);
    }
}
