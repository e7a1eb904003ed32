#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/settings.h"
#include "graph/codec_pins.h"
#include "graph/devices.h"
#include "graph/media_framework.h"
#include "graph/graph.h"
#include "graph/graph_handles.h"
#include "graph/pin_decoders.h"
#include "graph/tuning.h"
#include "message_box_watcher.h"
#include "standins/catalogue.h"
#include "standins/decoders/decoder_registration.h"
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
        // The window the video renderer clips to, standing in for the main window.
        window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
        std::wcscpy(tunerName, standin_names::kTuner);
        receiverName[0] = videoDecoderName[0] = audioDecoderName[0] = ac3DecoderName[0] = L'\0';
        strictSearch = 1;
    }
    void TearDown() override
    {
        DestroyGraph();
        DestroyWindow(window_);
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
            result = BuildGraph(window_);
        messages = boxes.Texts();
        return result;
    }

    HWND window_ = nullptr;
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
    DestroyGraph();  // a second teardown finds nothing left to release
    EXPECT_EQ(HandlesSet(), std::vector<bool>(20, false));
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
    EXPECT_EQ(BuildGraph(window_), 1);
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

// The PIDs a pin delivers, in the order its map lists them.
std::vector<ULONG> MappedPids(IMPEG2PIDMap* pidMap)
{
    std::vector<ULONG> pids;
    ComPtr<IEnumPIDMap> entries;
    if (FAILED(pidMap->EnumPIDMap(entries.Put())) || !entries)
        return pids;
    PID_MAP read[16];
    ULONG count = 0;
    entries->Next(16, read, &count);
    for (ULONG i = 0; i < count && i < 16; ++i)
        pids.push_back(read[i].ulPID);
    return pids;
}

TEST_F(GraphBuild, AChannelSwitchLeavesOnlyTheNewChannelsPidsMapped)
{
    std::vector<std::wstring> messages;
    ASSERT_EQ(Build(messages), 0);
    ULONG ac3 = 0x122;
    ASSERT_EQ(ac3PidMap->MapPID(1, &ac3, MEDIA_ELEMENTARY_STREAM), S_OK);

    ApplyChannelSwitch({false, 0, 0x110, 0x111, StreamCodec::Classic, StreamCodec::Classic, std::nullopt});
    EXPECT_EQ(MappedPids(videoPidMap.Get()), std::vector<ULONG>{0x110});
    EXPECT_EQ(MappedPids(audioPidMap.Get()), std::vector<ULONG>{0x111});
    EXPECT_TRUE(MappedPids(ac3PidMap.Get()).empty());

    // A channel without sound leaves the audio pin with no PID at all.
    ApplyChannelSwitch({false, 0, 0x210, 0, StreamCodec::Classic, std::nullopt, std::nullopt});
    EXPECT_EQ(MappedPids(videoPidMap.Get()), std::vector<ULONG>{0x210});
    EXPECT_TRUE(MappedPids(audioPidMap.Get()).empty());
}

// Subtype of the connection on a pin, and the class of the filter it goes to.
struct PinPeer {
    GUID subtype = GUID_NULL;
    CLSID filter = GUID_NULL;
};

PinPeer PeerOf(IMPEG2PIDMap* pidMap)
{
    PinPeer peer;
    ComPtr<IPin> pin, connected;
    if (FAILED(pidMap->QueryInterface(IID_IPin, pin.PutVoid())) || FAILED(pin->ConnectedTo(connected.Put())))
        return peer;
    AM_MEDIA_TYPE type{};
    if (SUCCEEDED(pin->ConnectionMediaType(&type))) {
        peer.subtype = type.subtype;
        CoTaskMemFree(type.pbFormat);
    }
    PIN_INFO info{};
    if (SUCCEEDED(connected->QueryPinInfo(&info)) && info.pFilter) {
        info.pFilter->GetClassID(&peer.filter);
        info.pFilter->Release();
    }
    return peer;
}

TEST_F(GraphBuild, ACodecChangeGivesThePinsTheirTypeAndDecoderAndBackAgain)
{
    std::vector<std::wstring> messages;
    ASSERT_EQ(Build(messages), 0);
    // Automatic path for the video; the E-AC-3 decoder named in the settings.
    std::wcscpy(eac3DecoderName, L"Brisome E-AC-3 Decoder");

    MessageBoxWatcher boxes;
    const PinCodecs hd{StreamCodec::H264, StreamCodec::AacAdts, StreamCodec::Eac3};
    EXPECT_EQ(MatchPinCodecs(hd), 3);
    EXPECT_EQ(PeerOf(videoPidMap.Get()).subtype, MEDIASUBTYPE_H264);
    EXPECT_EQ(PeerOf(videoPidMap.Get()).filter, standin::CLSID_StandinH264VideoDecoder);
    EXPECT_EQ(PeerOf(audioPidMap.Get()).subtype, MEDIASUBTYPE_MPEG_ADTS_AAC);
    EXPECT_EQ(PeerOf(ac3PidMap.Get()).subtype, MEDIASUBTYPE_DOLBY_DDPLUS);
    EXPECT_TRUE(ac3Decoder) << "the configured decoder is kept";
    EXPECT_FALSE(videoDecoder);
    // Another channel of the same codecs: nothing stops, nothing reconnects.
    EXPECT_EQ(MatchPinCodecs({StreamCodec::H264, StreamCodec::AacAdts, std::nullopt}), 0);

    EXPECT_EQ(MatchPinCodecs({StreamCodec::Classic, StreamCodec::Classic, StreamCodec::Classic}), 3);
    EXPECT_EQ(PeerOf(videoPidMap.Get()).subtype, MEDIASUBTYPE_MPEG2_VIDEO);
    EXPECT_EQ(PeerOf(videoPidMap.Get()).filter, standin::CLSID_StandinMpeg2VideoDecoder);
    EXPECT_EQ(PeerOf(audioPidMap.Get()).subtype, MEDIASUBTYPE_MPEG2_AUDIO);
    EXPECT_EQ(PeerOf(ac3PidMap.Get()).subtype, MEDIASUBTYPE_DOLBY_AC3);
    eac3DecoderName[0] = L'\0';
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().size();
    for (const std::wstring& text : boxes.Texts())
        ADD_FAILURE() << std::string(text.begin(), text.end());
}

// Takes stand-in decoders out of the filter mapper for a test's while, as on a PC
// where they are not installed; the stand-ins' own registration brings them back.
class HiddenDecoders {
public:
    explicit HiddenDecoders(std::vector<CLSID> decoders)
    {
        ComPtr<IFilterMapper2> mapper;
        CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2, mapper.PutVoid());
        for (const CLSID& decoder : decoders)
            EXPECT_TRUE(mapper && SUCCEEDED(mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, decoder)));
    }
    ~HiddenDecoders()
    {
        using Entry = HRESULT(STDAPICALLTYPE*)();
        HMODULE module = GetModuleHandleW(standins_test::StandinsDllPath().c_str());
        auto registerServer = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
        EXPECT_TRUE(registerServer && registerServer() == S_OK);
    }
};

// A missing decoder costs only its own stream: the other branches, the data pin and
// the pin itself are built, and the user is told once what will be missing.
TEST_F(GraphBuild, AMissingDecoderLeavesTheRestOfTheGraphAndIsReportedOnce)
{
    struct Case {
        const char* what;
        std::vector<CLSID> hidden;
        std::wstring message;
        bool video, audio, ac3;  // decoders connected
    };
    const Case cases[] = {
        {"no MPEG-2 video", {standin::CLSID_StandinMpeg2VideoDecoder},
         MissingDecoderAtBuild(PlayingPin::Video, StreamCodec::Classic), false, true, true},
        {"neither MPEG-2 video nor AC-3", {standin::CLSID_StandinMpeg2VideoDecoder, standin::CLSID_StandinAc3Decoder},
         MissingDecoderAtBuild(PlayingPin::Video, StreamCodec::Classic) + L"\n" +
             MissingDecoderAtBuild(PlayingPin::Ac3, StreamCodec::Classic),
         false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseDecoders();
        std::vector<std::wstring> messages;
        {
            HiddenDecoders hidden(c.hidden);
            EXPECT_EQ(Build(messages), 0);
        }
        EXPECT_EQ(messages, std::vector<std::wstring>{c.message});
        EXPECT_EQ(bool(videoDecoder), c.video);
        EXPECT_EQ(bool(audioDecoder), c.audio);
        EXPECT_EQ(bool(ac3Decoder), c.ac3);
        EXPECT_TRUE(videoPidMap && audioPidMap && ac3PidMap && mpeg2Data) << "every pin is kept";
        OAFilterState state = State_Stopped;
        mediaControl->GetState(2000, &state);
        EXPECT_EQ(state, State_Running);
        // Choosing the AC-3 track says so when its decoder is missing, and only then.
        EXPECT_EQ(MissingDecoderMessage(PlayingPin::Ac3, StreamCodec::Classic).empty(), c.ac3);
        DestroyGraph();
        EXPECT_EQ(HandlesSet(), std::vector<bool>(20, false));
    }
}

// Without an MPEG-2 video decoder, an H.264 channel still plays through its own
// decoder, and an MPEG-2 channel says why it shows no picture.
TEST_F(GraphBuild, WithoutAnMpeg2DecoderAnH264ChannelPlaysAndAnMpeg2ChannelSaysWhy)
{
    std::vector<std::wstring> messages;
    HiddenDecoders hidden({standin::CLSID_StandinMpeg2VideoDecoder});
    ASSERT_EQ(Build(messages), 0);
    ASSERT_TRUE(videoPidMap);

    MessageBoxWatcher boxes;
    EXPECT_EQ(MatchPinCodecs({StreamCodec::H264, StreamCodec::Classic, std::nullopt}), 1);
    EXPECT_EQ(PeerOf(videoPidMap.Get()).filter, standin::CLSID_StandinH264VideoDecoder);
    EXPECT_EQ(MatchPinCodecs({StreamCodec::H264, StreamCodec::Classic, std::nullopt}), 0);
    EXPECT_TRUE(boxes.Texts().empty());

    EXPECT_EQ(MatchPinCodecs({StreamCodec::Classic, StreamCodec::Classic, std::nullopt}), 1);
    EXPECT_EQ(MatchPinCodecs({StreamCodec::Classic, StreamCodec::Classic, std::nullopt}), 0);
    Sleep(200);
    EXPECT_EQ(boxes.Texts(),
              (std::vector<std::wstring>{L"Aucun d\u00e9codeur ne lit le format MPEG-2 vid\u00e9o de cette cha\u00eene : "
                                         L"choisissez-en un dans la configuration.",
                                         MissingDecoderForChoice(PlayingPin::Video, StreamCodec::Classic)}));
}

// A change of codec stops the graph; a USB tuner forgets its frequency then, so the
// channel change tunes again after the graph runs.
TEST_F(GraphBuild, ACodecChangeTunesAgainAfterTheGraphRunsAgain)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring trace = std::wstring(folder) + L"brisome_retune_trace.txt";
    DeleteFileW(trace.c_str());
    SetEnvironmentVariableW(L"BRISOME_STANDIN_TRACE", trace.c_str());
    std::vector<std::wstring> messages;
    ASSERT_EQ(Build(messages), 0);
    ApplyChannelSwitch({true, 474166, 0x110, 0x111, StreamCodec::Classic, StreamCodec::Classic, std::nullopt});
    ApplyChannelSwitch({false, 474166, 0x120, 0x121, StreamCodec::H264, StreamCodec::Classic, std::nullopt});
    ApplyChannelSwitch({false, 474166, 0x130, 0x131, StreamCodec::H264, StreamCodec::Classic, std::nullopt});
    SetEnvironmentVariableW(L"BRISOME_STANDIN_TRACE", nullptr);

    std::vector<std::string> lines;
    if (FILE* file = _wfopen(trace.c_str(), L"r")) {
        char line[256];
        while (std::fgets(line, sizeof line, file))
            lines.emplace_back(line, std::strcspn(line, "\r\n"));
        std::fclose(file);
    }
    DeleteFileW(trace.c_str());
    const auto lastRun = std::find(lines.rbegin(), lines.rend(), "Run");
    ASSERT_NE(lastRun, lines.rend());
    const std::vector<std::string> after(lastRun.base(), lines.end());
    EXPECT_EQ(std::count(after.begin(), after.end(), "put_Frequency 474166"), 1)
        << "one tuning after the restart, none for the change of the same codecs";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "put_Frequency 474166"), 2);
}

// The Sample Grabber is deprecated and may be absent from a PC: its class, for the
// test's while, names a server that is not there.
TEST_F(GraphBuild, AMissingSampleGrabberIsNamedAndStopsTheBuild)
{
    const wchar_t serverKey[] = L"CLSID\\{C1F400A0-3F08-11D3-9F0B-006008039E37}\\InprocServer32";
    wchar_t server[MAX_PATH] = {};
    DWORD size = sizeof server;
    ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, serverKey, nullptr, RRF_RT_REG_SZ, nullptr, server, &size), ERROR_SUCCESS);
    const auto setServer = [&](const wchar_t* path) {
        const DWORD bytes = static_cast<DWORD>((std::wcslen(path) + 1) * sizeof(wchar_t));
        return RegSetKeyValueW(HKEY_CLASSES_ROOT, serverKey, nullptr, REG_SZ, path, bytes);
    };
    ASSERT_EQ(setServer(L"brisome_absent_qedit.dll"), ERROR_SUCCESS);
    std::vector<std::wstring> messages;
    const int result = Build(messages);
    EXPECT_EQ(setServer(server), ERROR_SUCCESS);

    EXPECT_EQ(result, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"\u00ab Sample Grabber \u00bb"), std::wstring::npos);
    EXPECT_FALSE(demuxFilter);
    DestroyGraph();
    EXPECT_EQ(HandlesSet(), std::vector<bool>(20, false));
}

TEST_F(GraphBuild, TuneFrequencyWithoutTuningInterfacesDoesNothing)
{
    EXPECT_EQ(TuneFrequency(474166), E_POINTER);
}

}  // namespace
