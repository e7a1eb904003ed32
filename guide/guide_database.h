#pragma once
// The program's guide: guide.db beside config.ini, opened at start-up so that
// the schedule last received is there before any section arrives, and closed
// after every thread that writes it has ended; and the same guide in memory,
// which windows read instead when guide.db cannot be opened or written.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "guide/schedule/guide_query.h"
#include "guide/schedule/guide_store.h"
#include "guide/schedule/shared_guide_store.h"

// Opens `folder`/guide.db and purges what ended more than an hour before
// `now` (the PC's clock, corrected by the broadcast clock last stored). Returns
// what the user is to be told (the file was unreadable and set aside, or the
// guide stays in memory), in French; empty when all went well. The program runs
// either way.
std::string OpenGuideDatabase(const std::filesystem::path& folder, std::int64_t now);
void CloseGuideDatabase();

// The store; not open when OpenGuideDatabase failed.
SharedGuideStore& GuideDatabase();

// Hands a batch to the guide: to memory always, to guide.db while it takes
// writes. Returns the French notice the first time a write fails (the guide
// goes on from memory from then on); empty otherwise. Never on the window's
// thread: a write may wait for the disk.
std::string StoreGuideBatch(const GuideBatch& batch);

// Keeps the broadcast clock's difference from the PC's in guide.db for the
// next start. Returns the French notice as StoreGuideBatch does.
std::string StoreClockDifference(std::int64_t seconds);

// Forgets what ended more than an hour before `now` (broadcast time), in memory
// and in guide.db. Returns the French notice as StoreGuideBatch does.
std::string PurgeGuide(std::int64_t now);

// How many batches and purges the guide took since start-up: a window that
// shows the guide reads it again when this moved. Safe from any thread.
std::uint64_t GuideGeneration();

// True while windows read guide.db rather than memory.
bool GuideDatabaseInUse();

// The broadcast clock minus the PC's as guide.db holds it from an earlier
// session; none when it never heard a TDT or is not open.
std::optional<std::int64_t> StoredClockDifference();

// The guide as windows read it.
GuideQuery& TheGuide();
