#include "guide/schedule/shared_guide_store.h"

StoreOpenStatus SharedGuideStore::Open(const std::filesystem::path& file)
{
    std::lock_guard hold(lock_);
    return store_.Open(file);
}

bool SharedGuideStore::IsOpen() const
{
    std::lock_guard hold(lock_);
    return store_.IsOpen();
}

void SharedGuideStore::Close()
{
    std::lock_guard hold(lock_);
    store_.Close();
}

std::string SharedGuideStore::message() const
{
    std::lock_guard hold(lock_);
    return store_.message();
}

bool SharedGuideStore::Write(const GuideBatch& batch)
{
    std::lock_guard hold(lock_);
    return store_.Write(batch);
}

int SharedGuideStore::Purge(std::int64_t now)
{
    std::lock_guard hold(lock_);
    return store_.Purge(now);
}

bool SharedGuideStore::WriteClockDifference(std::int64_t seconds)
{
    std::lock_guard hold(lock_);
    return store_.WriteClockDifference(seconds);
}

std::optional<std::int64_t> SharedGuideStore::ClockDifference() const
{
    std::lock_guard hold(lock_);
    return store_.ClockDifference();
}

std::vector<GuideService> SharedGuideStore::Services() const
{
    std::lock_guard hold(lock_);
    return store_.Services();
}

std::pair<std::int64_t, std::int64_t> SharedGuideStore::Span() const
{
    std::lock_guard hold(lock_);
    return store_.Span();
}

std::vector<GuideEntry> SharedGuideStore::Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const
{
    std::lock_guard hold(lock_);
    return store_.Events(service, from, to);
}

std::vector<GuideEntry> SharedGuideStore::AllEvents() const
{
    std::lock_guard hold(lock_);
    return store_.Events();
}

std::vector<GuideEntry> SharedGuideStore::Search(const std::string& words, std::int64_t now, int limit) const
{
    std::lock_guard hold(lock_);
    return store_.Search(words, now, limit);
}
