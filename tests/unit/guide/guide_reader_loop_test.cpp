// The reader's loop against a scripted pair of streams: which buffer goes
// where and when, what is parsed, and how the loop ends.
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "guide/guide_reader_loop.h"

namespace {

// Two streams whose wakes are scripted. Each call is logged: "supply 0",
// "wait", "section 1 'text'"... A filled buffer gets the next text of its
// stream's script.
class ScriptedStreams final : public GuideSectionSource, public GuideSectionSink {
public:
    std::deque<GuideWake> wakes;
    std::deque<std::string> texts[2];
    int refuseSupplyNumber = -1;  // the n-th supply (from 0) is refused
    std::vector<std::string> log;

    bool Supply(int stream) override
    {
        log.push_back("supply " + std::to_string(stream));
        std::memset(buffers_[stream], 0xEE, sizeof buffers_[stream]);
        size_[stream] = 0;
        held_[stream] = true;
        return supplies_++ != refuseSupplyNumber;
    }

    GuideWake Wait() override
    {
        log.push_back("wait");
        if (wakes.empty())
            return GuideWake::Stop;
        const GuideWake wake = wakes.front();
        wakes.pop_front();
        const int stream = wake == GuideWake::ActualFilled ? 0 : wake == GuideWake::OtherFilled ? 1 : -1;
        if (stream >= 0) {
            // A stream only fills a buffer it holds, and gives it back with the wake.
            EXPECT_TRUE(held_[stream]) << "stream " << stream << " filled a buffer it was not given";
            held_[stream] = false;
            const std::string text = texts[stream].front();
            texts[stream].pop_front();
            std::memcpy(buffers_[stream], text.data(), text.size());
            size_[stream] = text.size();
        }
        return wake;
    }

    const std::uint8_t* Bytes(int stream) const override { return buffers_[stream]; }
    std::size_t Size(int stream) const override { return size_[stream]; }

    void OnSection(const std::uint8_t* section, std::size_t size) override
    {
        const int stream = section == buffers_[0] ? 0 : section == buffers_[1] ? 1 : -1;
        log.push_back("section " + std::to_string(stream) + " '" +
                      std::string(reinterpret_cast<const char*>(section), size) + "'");
    }

private:
    std::uint8_t buffers_[2][kGuideBufferSize];
    std::size_t size_[2] = {};
    bool held_[2] = {};
    int supplies_ = 0;
};

using Log = std::vector<std::string>;

TEST(GuideReaderLoop, EachBufferIsParsedBeforeItGoesBackToItsOwnStream)
{
    ScriptedStreams s;
    s.wakes = {GuideWake::ActualFilled, GuideWake::OtherFilled, GuideWake::OtherFilled, GuideWake::ActualFilled,
               GuideWake::Stop};
    s.texts[0] = {"a1", "a2"};
    s.texts[1] = {"o1", "o2"};
    EXPECT_EQ(RunGuideReader(s, s), kGuideReaderStopped);
    EXPECT_EQ(s.log, (Log{"supply 0", "supply 1",                 //
                          "wait", "section 0 'a1'", "supply 0",   //
                          "wait", "section 1 'o1'", "supply 1",   //
                          "wait", "section 1 'o2'", "supply 1",   //
                          "wait", "section 0 'a2'", "supply 0",   //
                          "wait"}));
}

TEST(GuideReaderLoop, ARefusedBufferOrAFailedWaitEndsTheLoop)
{
    // The first supply, the second, and the resupply after a parse.
    const Log expected[] = {
        {"supply 0"},
        {"supply 0", "supply 1"},
        {"supply 0", "supply 1", "wait", "section 1 'o1'", "supply 1"},
    };
    for (int refused = 0; refused < 3; ++refused) {
        SCOPED_TRACE(refused);
        ScriptedStreams s;
        s.refuseSupplyNumber = refused;
        s.wakes = {GuideWake::OtherFilled, GuideWake::ActualFilled};
        s.texts[0] = {"a1"};
        s.texts[1] = {"o1"};
        EXPECT_EQ(RunGuideReader(s, s), kGuideReaderFailed);
        EXPECT_EQ(s.log, expected[refused]);
    }

    ScriptedStreams s;
    s.wakes = {GuideWake::Failed, GuideWake::ActualFilled};
    s.texts[0] = {"a1"};
    EXPECT_EQ(RunGuideReader(s, s), kGuideReaderFailed);
    EXPECT_EQ(s.log, (Log{"supply 0", "supply 1", "wait"}));
}

}  // namespace
