#include "guide/guide_database.h"

#include <atomic>

#include "guide/schedule/memory_guide.h"

namespace {

SharedGuideStore database;
MemoryGuide memory;
// Set once guide.db is open and cleared at its first failed write: from then on
// the session's guide is the one in memory.
std::atomic<bool> databaseInUse{false};
// Moved after the guide took a change, so that a reader of the count finds it.
std::atomic<std::uint64_t> generation{0};

// What windows read: guide.db while it works, memory otherwise.
class ProgramGuide final : public GuideQuery {
public:
    std::vector<GuideService> Services() const override { return Source().Services(); }
    std::pair<std::int64_t, std::int64_t> Span() const override { return Source().Span(); }
    std::vector<GuideEntry> Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const override
    {
        return Source().Events(service, from, to);
    }
    std::vector<GuideEntry> AllEvents() const override { return Source().AllEvents(); }
    std::vector<GuideEntry> Search(const std::string& words, std::int64_t now, int limit) const override
    {
        return Source().Search(words, now, limit);
    }

private:
    static const GuideQuery& Source()
    {
        if (databaseInUse.load())
            return database;
        return memory;
    }
};

ProgramGuide programGuide;

}  // namespace

std::string OpenGuideDatabase(const std::filesystem::path& folder, std::int64_t now)
{
    const StoreOpenStatus status = database.Open(folder / "guide.db");
    databaseInUse = status != StoreOpenStatus::Unavailable;
    if (!databaseInUse)
        return database.message();
    // A PC whose clock is far off (a flat battery, a wrong year) would purge the
    // whole guide at every start: the broadcast's time decides what has ended.
    database.Purge(now + database.ClockDifference().value_or(0));
    return status == StoreOpenStatus::Recreated ? database.message() : std::string();
}

void CloseGuideDatabase()
{
    databaseInUse = false;
    database.Close();
}

SharedGuideStore& GuideDatabase() { return database; }

std::string StoreGuideBatch(const GuideBatch& batch)
{
    memory.Apply(batch);
    std::string notice;
    if (databaseInUse.load() && !database.Write(batch)) {
        databaseInUse = false;
        notice = database.message();
    }
    ++generation;
    return notice;
}

std::string StoreClockDifference(std::int64_t seconds)
{
    if (!databaseInUse.load() || database.WriteClockDifference(seconds))
        return {};
    databaseInUse = false;
    return database.message();
}

std::string PurgeGuide(std::int64_t now)
{
    memory.Purge(now);
    std::string notice;
    if (databaseInUse.load() && database.Purge(now) < 0) {
        databaseInUse = false;
        notice = database.message();
    }
    ++generation;
    return notice;
}

std::uint64_t GuideGeneration() { return generation.load(); }

bool GuideDatabaseInUse() { return databaseInUse.load(); }

std::optional<std::int64_t> StoredClockDifference() { return database.ClockDifference(); }

GuideQuery& TheGuide() { return programGuide; }
