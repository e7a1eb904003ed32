#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/shell_state.h"
#include "config/settings.h"
#include "graph/devices.h"
#include "graph/graph.h"
#include "graph/graph_handles.h"
#include "graph/tuning.h"
#include "message_box_watcher.h"
#include "standins/catalogue.h"
#include "standins_environment.h"

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new standins_test::StandinsEnvironment);

const wchar_t kNoDeviceControl[] = L"IBDA_DeviceControl";
const wchar_t kNoFrequency[] = L"Pas trouv\u00e9 l'interface pour changer de fr\u00e9quence";
const wchar_t kNoStatistics[] = L"Pas trouv\u00e9 l'interface pour avoir la qualit\u00e9 du signal";

// Every shared handle, to check what a build set and what a teardown left.
std::vector<bool> HandlesSet()
{
    return {bool(graph), bool(mediaControl), bool(tunerFilter), bool(receiverFilter), bool(deviceControl),
            bool(frequencyFilter), bool(signalStatistics), bool(sampleGrabber), bool(demuxFilter), bool(vmrFilter),
            bool(windowlessControl), bool(videoDecoder), bool(audioDecoder), bool(ac3Decoder), bool(audioRenderer),
            bool(ac3Renderer), bool(videoPidMap), bool(audioPidMap), bool(ac3PidMap), bool(mpeg2Data)};
}

class GraphBuild : public testing::Test {
protected:
    void SetUp() override
    {
        // DestroyGraph saves the settings into the current directory.
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        GetTempFileNameW(temp, L"gb", 0, dir_);
        DeleteFileW(dir_);
        CreateDirectoryW(dir_, nullptr);
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(dir_);
        // The video renderer clips to the main window.
        mainWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
        std::wcscpy(tunerName, standin_names::kTuner);
        receiverName[0] = videoDecoderName[0] = audioDecoderName[0] = ac3DecoderName[0] = L'\0';
        strictSearch = 1;
    }
    void TearDown() override
    {
        DestroyGraph();
        DestroyWindow(mainWindow);
        mainWindow = nullptr;
        DeleteFileW((std::wstring(dir_) + L"\\config.ini").c_str());
        SetCurrentDirectoryW(previous_);
        RemoveDirectoryW(dir_);
    }
    void UseDecoders()
    {
        std::wcscpy(videoDecoderName, L"Brisome MPEG-2 Video Decoder");
        std::wcscpy(audioDecoderName, L"Brisome MPEG Audio Decoder");
        std::wcscpy(ac3DecoderName, L"Brisome AC-3 Decoder");
    }
    // Builds with the tuner named, answering and recording the messages shown.
    int Build(std::vector<std::wstring>& messages)
    {
        MessageBoxWatcher boxes;
        int result = 1;
        if (DetectTuner())
            result = BuildGraph();
        messages = boxes.Texts();
        return result;
    }

    wchar_t dir_[MAX_PATH];
    wchar_t previous_[MAX_PATH];
};

TEST_F(GraphBuild, ConfiguredDecodersGiveTheWholeGraphAndTeardownLeavesNothing)
{
    UseDecoders();
    std::vector<std::wstring> messages;
    ASSERT_EQ(Build(messages), 0);
    EXPECT_TRUE(messages.empty());
    std::vector<bool> expected(20, true);
    expected[3] = false;  // no receiver for a one-filter tuner
    EXPECT_EQ(HandlesSet(), expected);
    OAFilterState state = State_Stopped;
    mediaControl->GetState(2000, &state);
    EXPECT_EQ(state, State_Running);

    DestroyGraph();
    EXPECT_EQ(HandlesSet(), std::vector<bool>(20, false));
    DestroyGraph();  // a second teardown only saves the settings again
    EXPECT_EQ(GetFileAttributesW(L"config.ini") != INVALID_FILE_ATTRIBUTES, true);
}

TEST_F(GraphBuild, WithoutDecoderNamesTheGraphRendersByItself)
{
    std::vector<std::wstring> messages;
    ASSERT_EQ(Build(messages), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(videoDecoder);
    EXPECT_TRUE(windowlessControl);
    EXPECT_TRUE(videoPidMap);
    EXPECT_TRUE(mpeg2Data);
}

TEST_F(GraphBuild, TunerAndReceiverPairIsConnectedThroughTheReceiver)
{
    std::wcscpy(tunerName, standin_names::kPairTuner);
    std::wcscpy(receiverName, standin_names::kReceiver);
    UseDecoders();
    std::vector<std::wstring> messages;
    ASSERT_EQ(Build(messages), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(receiverFilter);
    EXPECT_TRUE(mpeg2Data);
}

TEST_F(GraphBuild, MissingTuningInterfacesAreReportedInOrder)
{
    struct Case {
        const wchar_t* tuner;
        std::vector<std::wstring> messages;
    };
    const Case cases[] = {
        {standin_names::kTunerNoControl, {kNoDeviceControl, kNoFrequency}},
        {standin_names::kTunerNoFrequency, {kNoFrequency}},
        {standin_names::kTunerNoStatistics, {kNoStatistics}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "tuner " << std::string(c.tuner, c.tuner + std::wcslen(c.tuner)).c_str());
        std::wcscpy(tunerName, c.tuner);
        std::vector<std::wstring> messages;
        EXPECT_EQ(Build(messages), 1);
        EXPECT_EQ(messages, c.messages);
        EXPECT_FALSE(demuxFilter);  // the build stopped before the grabber
        DestroyGraph();
        EXPECT_EQ(HandlesSet(), std::vector<bool>(20, false));
    }
}

TEST_F(GraphBuild, ATunerWithoutTransportOutputFailsSilently)
{
    tunerFilter = FindDeviceByName(KSCATEGORY_BDA_NETWORK_TUNER, standin_names::kTunerNoTransport);
    ASSERT_TRUE(tunerFilter);
    MessageBoxWatcher boxes;
    EXPECT_EQ(BuildGraph(), 1);
    Sleep(200);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(GraphBuild, UnmapAllPidsTakesAtMostEightEntries)
{
    std::vector<std::wstring> messages;
    ASSERT_EQ(Build(messages), 0);
    ULONG pids[11];
    for (ULONG i = 0; i < 11; ++i)
        pids[i] = 0x100 + i;
    ASSERT_EQ(videoPidMap->MapPID(11, pids, MEDIA_ELEMENTARY_STREAM), S_OK);
    UnmapAllPids(videoPidMap.Get());
    ComPtr<IEnumPIDMap> left;
    ASSERT_EQ(videoPidMap->EnumPIDMap(left.Put()), S_OK);
    PID_MAP entries[16];
    ULONG count = 0;
    left->Next(16, entries, &count);
    EXPECT_EQ(count, 3u);
}

TEST_F(GraphBuild, TuneFrequencyWithoutTuningInterfacesDoesNothing)
{
    EXPECT_EQ(TuneFrequency(474166), E_POINTER);
}

}  // namespace
