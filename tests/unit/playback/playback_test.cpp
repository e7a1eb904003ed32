// Playback through the program's own graph: BuildGraph (which runs the graph before
// anything is tuned, with DirectSound renderers on the audio and AC-3 pins), then
// SelectChannel, with the stand-in tuner playing generated multiplexes. The video
// renderer must show the test picture of the selected service, and keep showing new
// frames, within a few seconds.
#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/audio_tracks.h"
#include "app/channel_switching.h"
#include "app/shell_state.h"
#include "app/tap_section_request.h"
#include "app/video_placement.h"
#include "channels/chaine.h"
#include "config/settings.h"
#include "graph/devices.h"
#include "graph/graph.h"
#include "graph/graph_handles.h"
#include "graph/media_framework.h"
#include "standins/catalogue.h"
#include "standins/decoders/test_picture.h"
#include "tests/unit/standins/standins_environment.h"
#include "tools/tsgen/description_parser.h"
#include "tools/tsgen/muxer.h"

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new standins_test::StandinsEnvironment);

// Two multiplexes; the first carries two services. Only the second service of the
// second multiplex has an AC-3 track, so the AC-3 pin mostly has no PID at all.
constexpr char kBroadcast[] = R"(
broadcast clock=2026-03-14T19:30:00 seconds=2
network id=0x20FA name="Essai"
mux freq=474166 tsid=1 onid=0x20FA
service sid=0x101 name="Un" provider="Essai" type=tv pmt=0x100 lcn=1
video pid=0x110 size=720x576 aspect=4:3 rate=25
audio pid=0x111 lang=fra
service sid=0x102 name="Deux" provider="Essai" type=tv pmt=0x200 lcn=2
video pid=0x210 size=720x576 aspect=16:9 rate=25
audio pid=0x211 lang=fra
mux freq=482166 tsid=2 onid=0x20FA
service sid=0x201 name="Trois" provider="Essai" type=tv pmt=0x100 lcn=3
video pid=0x310 size=720x576 aspect=16:9 rate=25
audio pid=0x311 lang=fra
ac3 pid=0x312 lang=fra
)";

Chaine Channel(const char* name, std::int32_t kHz, std::int32_t video, std::int32_t audio, std::int32_t ac3)
{
    Chaine c = MakeEmptyChaine();
    std::strncpy(c.Nom, name, sizeof c.Nom - 1);
    c.Frequence = kHz;
    c.Video = video;
    c.Son1 = audio;
    c.Ac3 = ac3;
    c.PCR = video;
    return c;
}

void SetName(wchar_t (&setting)[kNameCapacity], const wchar_t* value) { wcsncpy_s(setting, value, _TRUNCATE); }

// Waits while pumping this thread's messages (the test thread owns the window).
bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    return true;
}

// The renderer's current picture: the colour of its top-left pixel (0x00RRGGBB) and a
// checksum of all its pixels, which changes with the frame number drawn on it.
struct Shown {
    bool any = false;
    std::uint32_t corner = 0;
    std::uint64_t checksum = 0;
};

Shown CurrentPicture()
{
    Shown shown;
    BYTE* dib = nullptr;
    if (!windowlessControl || FAILED(windowlessControl->GetCurrentImage(&dib)) || !dib) return shown;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    const BYTE* pixels = dib + header->biSize;
    const std::size_t size = static_cast<std::size_t>(header->biWidth) * std::abs(header->biHeight) * 4;
    // Bottom-up: the top row is the last one.
    const BYTE* top = header->biHeight > 0 ? pixels + (header->biHeight - 1) * header->biWidth * 4 : pixels;
    shown.any = true;
    shown.corner = (std::uint32_t{top[2]} << 16) | (std::uint32_t{top[1]} << 8) | top[0];
    for (std::size_t i = 0; i < size; ++i) shown.checksum = shown.checksum * 31 + pixels[i];
    CoTaskMemFree(dib);
    return shown;
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::filesystem::path(temp) / (L"brisome-playback-" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::create_directories(folder_);
        const tsgen::Description description = tsgen::ParseDescription(kBroadcast);
        for (const tsgen::Multiplex& mux : description.multiplexes) {
            const std::vector<std::uint8_t> ts = tsgen::GenerateMultiplex(description, mux);
            std::ofstream out(folder_ / (std::to_wstring(mux.frequencyKHz) + L".ts"), std::ios::binary);
            out.write(reinterpret_cast<const char*>(ts.data()), static_cast<std::streamsize>(ts.size()));
        }
        SetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", folder_.wstring().c_str());

        WNDCLASSW wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"BrisomePlaybackTest";
        RegisterClassW(&wc);
        mainWindow = CreateWindowW(wc.lpszClassName, L"Brisome TV", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 480, 400,
                                   nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(mainWindow);

        SetName(tunerName, standin_names::kTuner);
        SetName(videoDecoderName, L"Brisome MPEG-2 Video Decoder");
        SetName(audioDecoderName, L"Brisome MPEG Audio Decoder");
        SetName(ac3DecoderName, L"Brisome AC-3 Decoder");
        Chaines = {Channel("Un", 474166, 0x110, 0x111, 0), Channel("Deux", 474166, 0x210, 0x211, 0),
                   Channel("Trois", 482166, 0x310, 0x311, 0x312)};
        currentChannel = -1;

        ASSERT_TRUE(DetectTuner());
        ASSERT_EQ(BuildGraph(mainWindow), 0);
        ASSERT_TRUE(windowlessControl);
        PlaceVideo();
    }

    void TearDown() override
    {
        DestroyGraph();
        if (mainWindow) DestroyWindow(mainWindow);
        mainWindow = nullptr;
        Chaines.clear();
        currentChannel = -1;
        SetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // True once the renderer shows the picture of `pid` and it has moved on since.
    static bool ShowsMovingPicture(int pid)
    {
        const std::uint32_t colour = standin::TestPictureBackground(pid);
        Shown first;
        const bool shown = WaitFor([&] {
            first = CurrentPicture();
            return first.any && first.corner == colour;
        }, 5000);
        if (!shown) {
            ADD_FAILURE() << "PID " << pid << ": picture " << (first.any ? "of another colour" : "never shown")
                          << " (corner " << std::hex << first.corner << ", expected " << colour << ")";
            return false;
        }
        const bool moved = WaitFor([&] {
            const Shown later = CurrentPicture();
            return later.corner == colour && later.checksum != first.checksum;
        }, 2000);
        if (!moved) ADD_FAILURE() << "PID " << pid << ": the picture stays frozen";
        return moved;
    }

    std::filesystem::path folder_;
};

TEST_F(Playback, TheSelectedChannelIsShownOnceTheGraphRuns)
{
    // The graph must have run its filters although no audio renderer has had a sample
    // (VFW_S_STATE_INTERMEDIATE while it still waits for them).
    OAFilterState state = State_Stopped;
    EXPECT_EQ(mediaControl->GetState(1000, &state), S_OK);
    EXPECT_EQ(state, State_Running);

    SelectChannel(0);
    EXPECT_TRUE(ShowsMovingPicture(0x110));
}

TEST_F(Playback, SwitchingChannelsShowsTheNewServiceInAndAcrossMultiplexes)
{
    SelectChannel(0);
    ASSERT_TRUE(ShowsMovingPicture(0x110));
    SelectChannel(1);  // same multiplex: only the PIDs change
    EXPECT_TRUE(ShowsMovingPicture(0x210));
    SelectChannel(2);  // another multiplex: retuned
    EXPECT_TRUE(ShowsMovingPicture(0x310));
    SelectChannel(0);
    EXPECT_TRUE(ShowsMovingPicture(0x110));
}

TEST_F(Playback, TablesOfEachMultiplexAreReadFromTheTap)
{
    // What the scan does when the graph has no sections-and-tables filter: the
    // grabber's callback feeds the tap, and a request there waits for its table.
    struct Case {
        int channel;
        std::uint16_t pmtPid;
        unsigned tsid;
    };
    for (const Case& c : {Case{0, 0x200, 1}, Case{2, 0x100, 2}}) {
        SelectChannel(c.channel);
        std::vector<std::uint8_t> pat, pmt;
        ASSERT_TRUE(RequestTapSection(0x0000, 0x00, 5000, PlainWait(), pat)) << "channel " << c.channel;
        EXPECT_EQ(pat[3] << 8 | pat[4], c.tsid) << "the new multiplex's, not the old one's";
        ASSERT_TRUE(RequestTapSection(c.pmtPid, 0x02, 5000, PlainWait(), pmt)) << "channel " << c.channel;
        EXPECT_EQ(pmt[0], 0x02);
    }
    std::vector<std::uint8_t> none;
    EXPECT_FALSE(RequestTapSection(0x0777, 0x02, 200, PlainWait(), none));
}

TEST_F(Playback, APausedGraphHoldsThePictureAndPlaysAgainOnRun)
{
    SelectChannel(2);
    ASSERT_TRUE(ShowsMovingPicture(0x310));

    // A live source cannot cue: paused, the graph says so instead of waiting for
    // renderers that will get nothing.
    ASSERT_TRUE(SUCCEEDED(mediaControl->Pause()));
    OAFilterState state = State_Running;
    EXPECT_EQ(mediaControl->GetState(1000, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(state, State_Paused);
    Sleep(300);  // a sample already on its way may still land
    const Shown held = CurrentPicture();
    Sleep(500);
    EXPECT_EQ(CurrentPicture().checksum, held.checksum) << "frames still arrive while paused";

    ASSERT_TRUE(SUCCEEDED(mediaControl->Run()));
    EXPECT_TRUE(ShowsMovingPicture(0x310));
}

// The media subtype the demultiplexer's "son" pin is connected with.
GUID AudioPinSubtype()
{
    GUID subtype = GUID_NULL;
    ComPtr<IPin> pin;
    AM_MEDIA_TYPE type{};
    if (SUCCEEDED(audioPidMap->QueryInterface(IID_IPin, pin.PutVoid())) && SUCCEEDED(pin->ConnectionMediaType(&type))) {
        subtype = type.subtype;
        CoTaskMemFree(type.pbFormat);
    }
    return subtype;
}

TEST_F(Playback, ASecondTrackOfAnotherCodecGetsItsOwnDecoderAndTheFirstComesBack)
{
    Chaines[1].Son2 = 0x212;
    Chaines[1].Son2Codec = StreamCodec::AacAdts;
    SelectChannel(1);
    ASSERT_TRUE(ShowsMovingPicture(0x210));
    EXPECT_EQ(AudioPinSubtype(), MEDIASUBTYPE_MPEG2_AUDIO);

    SelectSecondAudioTrack();
    EXPECT_TRUE(secondAudioActive);
    EXPECT_EQ(AudioPinSubtype(), MEDIASUBTYPE_MPEG_ADTS_AAC);
    EXPECT_TRUE(ShowsMovingPicture(0x210)) << "the graph runs again after the reconnection";

    SelectFirstAudioTrack();
    EXPECT_FALSE(secondAudioActive);
    EXPECT_EQ(AudioPinSubtype(), MEDIASUBTYPE_MPEG2_AUDIO);
}

}  // namespace
