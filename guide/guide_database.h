#pragma once
// The program's guide store: guide.db beside config.ini, opened at start-up so
// that the schedule last received is there before any section arrives, and
// closed after every thread that writes it has ended.
#include <filesystem>
#include <string>

#include "guide/schedule/guide_query.h"
#include "guide/schedule/shared_guide_store.h"

// Opens `folder`/guide.db and purges what ended more than an hour before
// `now`. Returns what the user is to be told (the file was unreadable and set
// aside, or the guide stays in memory), in French; empty when all went well.
// The program runs either way.
std::string OpenGuideDatabase(const std::filesystem::path& folder, std::int64_t now);
void CloseGuideDatabase();

// The store the guide reader writes into; not open when OpenGuideDatabase failed.
SharedGuideStore& GuideDatabase();

// The guide as windows read it.
GuideQuery& TheGuide();
