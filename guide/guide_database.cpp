#include "guide/guide_database.h"

namespace {

SharedGuideStore database;

}  // namespace

std::string OpenGuideDatabase(const std::filesystem::path& folder, std::int64_t now)
{
    const StoreOpenStatus status = database.Open(folder / "guide.db");
    if (status == StoreOpenStatus::Unavailable)
        return database.message();
    database.Purge(now);
    return status == StoreOpenStatus::Recreated ? database.message() : std::string();
}

void CloseGuideDatabase() { database.Close(); }

SharedGuideStore& GuideDatabase() { return database; }

GuideQuery& TheGuide() { return database; }
