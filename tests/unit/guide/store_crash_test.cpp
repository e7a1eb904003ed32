// A program killed while it writes guide.db: the next start opens the file (it
// is not set aside as unreadable) with every transaction that was committed,
// whole, and nothing of the one that was cut.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "guide/schedule/guide_store.h"

#if !defined(_WIN32)
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNow = 1796817600;
constexpr std::size_t kBatch = 300;

TEST(GuideStoreCrash, TheNextOpenHasEveryCommittedBatchWhole)
{
#if defined(_WIN32)
    GTEST_SKIP() << "killing a writer mid-transaction is tested on the native build";
#else
    const fs::path folder = fs::temp_directory_path() / ("brisome-crash-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / "guide.db";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);

    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        GuideStore store;
        if (store.Open(file) != StoreOpenStatus::Opened)
            ::_exit(1);
        for (std::int64_t n = 0;; ++n) {
            GuideBatch batch;
            for (std::size_t i = 0; i < kBatch; ++i) {
                GuideEntry e;
                e.service = {0x20FA, 1, static_cast<std::uint16_t>(n % 30)};
                e.start = kNow + (n / 30 * kBatch + static_cast<std::int64_t>(i)) * 600;
                e.stop = e.start + 600;
                e.title = "Programme " + std::to_string(n);
                e.description = std::string(400, 'd');
                batch.events.push_back(e);
            }
            if (!store.Write(batch))
                ::_exit(2);
            if (n == 3)
                (void)!::write(ready[1], "r", 1);
        }
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::usleep(150 * 1000);  // well inside later transactions
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(WIFSIGNALED(status));

    GuideStore store;
    ASSERT_EQ(store.Open(file), StoreOpenStatus::Opened) << store.message();
    const auto events = store.Events();
    EXPECT_GE(events.size(), 4 * kBatch);
    EXPECT_EQ(events.size() % kBatch, 0u);
    EXPECT_FALSE(fs::exists(folder / "guide.db.illisible"));
    EXPECT_TRUE(store.Write({{}, {events.front()}}));
    store.Close();
    fs::remove_all(folder);
#endif
}

}  // namespace
