#include "guide/schedule/memory_guide.h"

#include <algorithm>

#include "guide/schedule/search_words.h"

namespace {

constexpr std::int64_t kKeptAfterEnd = 3600;

}  // namespace

void MemoryGuide::Apply(const GuideBatch& batch)
{
    std::map<ServiceKey, std::vector<Held>> replaced;
    for (const GuideEntry& e : batch.events) {
        std::vector<std::string> words = SearchWords(e.title);
        for (const std::string* text : {&e.subtitle, &e.description})
            for (std::string& w : SearchWords(*text))
                words.push_back(std::move(w));
        replaced[e.service].push_back({e, std::move(words)});
    }
    for (auto& [service, events] : replaced)
        std::sort(events.begin(), events.end(), [](const Held& a, const Held& b) { return a.entry.start < b.entry.start; });

    std::lock_guard hold(lock_);
    for (const GuideService& s : batch.services)
        if (!s.name.empty() || !names_.count(s.key))
            names_[s.key] = s.name;
    for (auto& [service, events] : replaced) {
        names_.try_emplace(service);
        events_[service] = std::move(events);
    }
}

void MemoryGuide::Purge(std::int64_t now)
{
    std::lock_guard hold(lock_);
    for (auto& [service, events] : events_)
        std::erase_if(events, [now](const Held& h) { return h.entry.stop < now - kKeptAfterEnd; });
}

std::vector<GuideService> MemoryGuide::Services() const
{
    std::lock_guard hold(lock_);
    std::vector<GuideService> services;
    for (const auto& [key, name] : names_)
        services.push_back({key, name});
    return services;
}

std::pair<std::int64_t, std::int64_t> MemoryGuide::Span() const
{
    std::lock_guard hold(lock_);
    std::pair<std::int64_t, std::int64_t> span{0, 0};
    bool any = false;
    for (const auto& [service, events] : events_) {
        for (const Held& h : events) {
            span.first = any ? std::min(span.first, h.entry.start) : h.entry.start;
            span.second = any ? std::max(span.second, h.entry.stop) : h.entry.stop;
            any = true;
        }
    }
    return span;
}

std::vector<GuideEntry> MemoryGuide::Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const
{
    std::lock_guard hold(lock_);
    std::vector<GuideEntry> result;
    auto found = events_.find(service);
    if (found == events_.end())
        return result;
    for (const Held& h : found->second)
        if (h.entry.stop > from && h.entry.start < to)
            result.push_back(h.entry);
    return result;
}

std::vector<GuideEntry> MemoryGuide::AllEvents() const
{
    std::lock_guard hold(lock_);
    std::vector<GuideEntry> result;
    for (const auto& [service, events] : events_)
        for (const Held& h : events)
            result.push_back(h.entry);
    return result;
}

std::vector<GuideEntry> MemoryGuide::Search(const std::string& words, std::int64_t now, int limit) const
{
    const std::vector<std::string> query = SearchWords(words);
    std::vector<GuideEntry> result;
    if (query.empty() || limit <= 0)
        return result;
    {
        std::lock_guard hold(lock_);
        for (const auto& [service, events] : events_)
            for (const Held& h : events)
                if (h.entry.stop > now && MatchesAllWords(query, h.words))
                    result.push_back(h.entry);
    }
    // As the store answers: soonest first, then by service id.
    std::sort(result.begin(), result.end(), [](const GuideEntry& a, const GuideEntry& b) {
        return a.start != b.start ? a.start < b.start : a.service.sid < b.service.sid;
    });
    if (result.size() > static_cast<std::size_t>(limit))
        result.resize(static_cast<std::size_t>(limit));
    return result;
}
