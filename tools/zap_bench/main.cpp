// zap-bench: how long a channel change takes to show the new channel's picture.
//
// Starts the program on the demo broadcast with the stand-in tuner and decoders,
// then changes channel back and forth through the "Chaînes" menu command, within
// one multiplex (PIDs remapped, no retune), across two multiplexes (retune), and
// from an MPEG-2 channel to an H.264 one and back (retune, new pin types, decoders
// reconnected),
// and times each change from the command to the first picture of the new service,
// read from inside the program. Prints the median, minimum and maximum of each.
//
// zap-bench --scan [runs]: times the channel scan of a first start instead, from
// the scan dialog's opening to its closing, for the demo city (six frequencies,
// one of them silent) and for a city missing from canaux.ini (the 49 UHF
// channels, 44 of them silent).
//
// zap-bench --guide [rounds]: times how soon the status bar shows the present
// programme of the channel chosen: after a change within a multiplex and across
// two, and on a fresh start, from the channel's name showing to its programme
// showing (there the guide has nothing yet, and waits for the broadcast's next
// present/following section).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo_guide.h"
#include "installation.h"
#include "program_driver.h"
#include "standins/decoders/test_picture.h"

namespace {

bool ShowsService(const WindowPicture& picture, int videoPid)
{
    if (picture.pixels.empty())
        return false;
    const std::uint32_t colour = standin::TestPictureBackground(videoPid);
    return picture.At(picture.width / 5, picture.height / 10) == colour ||
           picture.At(picture.width * 4 / 5, picture.height / 10) == colour;
}

// Milliseconds from the command to the picture, or -1 after 15 s.
double TimeChange(HWND window, const std::wstring& dir, int index, int videoPid)
{
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(index, 0), 0);
    for (;;) {
        const WindowPicture picture = ReadWindowPicture(window, dir);
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (ShowsService(picture, videoPid))
            return ms;
        if (ms > 15000)
            return -1;
        Sleep(5);
    }
}

void Report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t failed = static_cast<size_t>(std::count(times.begin(), times.end(), -1.0));
    times.erase(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(failed));
    if (times.empty()) {
        std::printf("%-28s no result\n", what);
        return;
    }
    std::printf("%-28s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%zu measured, %zu failed)\n", what,
                times[times.size() / 2], times.front(), times.back(), times.size(), failed);
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds the scan dialog stays up on a first start in `city`, or -1.
double TimeScan(const wchar_t* city)
{
    Installation installation(false);
    installation.SetSetting(L"Ville", city);
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    const wchar_t caption[] = L"Scan des fr\u00e9quences en cours";
    HWND dialog = nullptr;
    LARGE_INTEGER opened, closed;
    if (!window || !WaitUntil([&] { return (dialog = FindDialog(program.Id(), caption)) != nullptr; }, 30000))
        return -1;
    QueryPerformanceCounter(&opened);
    while (IsWindow(dialog))
        Sleep(10);
    QueryPerformanceCounter(&closed);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return Milliseconds(opened, closed);
}

int BenchScan(int runs)
{
    const struct {
        const char* what;
        const wchar_t* city;
    } cases[] = {{"scan of the demo city", L"D\u00e9mo"}, {"scan of the full band", L"Ville absente"}};
    for (const auto& c : cases) {
        std::vector<double> times;
        for (int r = 0; r < runs; ++r)
            times.push_back(TimeScan(c.city));
        Report(c.what, times);
    }
    return 0;
}

// Milliseconds from `from` until the status bar shows `texts` (all five
// parts), or -1 after 15 s.
double TimeUntilStatus(HWND window, const std::wstring& dir, const std::vector<std::wstring>& texts,
                       const LARGE_INTEGER& from)
{
    LARGE_INTEGER now;
    for (;;) {
        const bool shown = ReadControlTexts(window, dir).statusParts == texts;
        QueryPerformanceCounter(&now);
        const double ms = Milliseconds(from, now);
        if (shown)
            return ms;
        if (ms > 15000)
            return -1;
        Sleep(2);
    }
}

double TimeGuideChange(HWND window, const std::wstring& dir, int index, const Chaine& channel)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(index, 0), 0);
    return TimeUntilStatus(window, dir, DemoStatusTexts(channel), start);
}

// From the first channel's name to its programmes, on a fresh start; -1 when
// either does not show in time.
double TimeFirstGuide(const Installation& installation, const Chaine& first)
{
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    if (!window || !WaitUntil([&] { return StatusBarChannelName(window) == ShownName(first); }, 30000))
        return -1;
    LARGE_INTEGER named;
    QueryPerformanceCounter(&named);
    const double ms = TimeUntilStatus(window, installation.Path(), DemoStatusTexts(first), named);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return ms;
}

int BenchGuide(int rounds, const Installation& installation, int same, int other)
{
    const ChannelList channels = installation.Channels();
    std::vector<double> first;
    for (int r = 0; r < std::min(rounds, 5); ++r)
        first.push_back(TimeFirstGuide(installation, channels[0]));

    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    if (!window) {
        std::fprintf(stderr, "zap-bench: the program did not start\n");
        return 2;
    }
    TimeGuideChange(window, installation.Path(), 0, channels[0]);
    std::vector<double> within, across;
    for (int r = 0; r < rounds; ++r) {
        within.push_back(TimeGuideChange(window, installation.Path(), same, channels[same]));
        within.push_back(TimeGuideChange(window, installation.Path(), 0, channels[0]));
    }
    for (int r = 0; r < rounds; ++r) {
        across.push_back(TimeGuideChange(window, installation.Path(), other, channels[other]));
        across.push_back(TimeGuideChange(window, installation.Path(), 0, channels[0]));
    }
    Report("guide, within a multiplex", within);
    Report("guide, across multiplexes", across);
    Report("guide, fresh start", first);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--scan")
        return BenchScan(argc > 2 ? std::max(1, std::atoi(argv[2])) : 3);
    const bool guide = argc > 1 && std::string(argv[1]) == "--guide";
    if (guide) {
        --argc;
        ++argv;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    Installation installation;
    const ChannelList channels = installation.Channels();
    int same = -1, other = -1, codec = -1;
    for (size_t i = 1; i < channels.size(); ++i) {
        if (same < 0 && channels[i].Frequence == channels[0].Frequence && channels[i].Video != channels[0].Video)
            same = static_cast<int>(i);
        if (other < 0 && channels[i].Frequence != channels[0].Frequence && channels[i].Video != channels[0].Video)
            other = static_cast<int>(i);
        if (codec < 0 && channels[i].VideoCodec != channels[0].VideoCodec)
            codec = static_cast<int>(i);
    }
    if (same < 0 || other < 0) {
        std::fprintf(stderr, "zap-bench: the demo broadcast lacks the channels to compare\n");
        return 2;
    }
    if (guide)
        return BenchGuide(rounds, installation, same, other);
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    if (!window) {
        std::fprintf(stderr, "zap-bench: the program did not start\n");
        return 2;
    }
    // Wait for the first channel's picture before measuring.
    TimeChange(window, installation.Path(), 0, channels[0].Video);

    std::vector<double> within, across;
    for (int r = 0; r < rounds; ++r) {
        within.push_back(TimeChange(window, installation.Path(), same, channels[same].Video));
        within.push_back(TimeChange(window, installation.Path(), 0, channels[0].Video));
    }
    for (int r = 0; r < rounds; ++r) {
        across.push_back(TimeChange(window, installation.Path(), other, channels[other].Video));
        across.push_back(TimeChange(window, installation.Path(), 0, channels[0].Video));
    }
    std::vector<double> acrossCodecs;
    for (int r = 0; codec >= 0 && r < rounds; ++r) {
        acrossCodecs.push_back(TimeChange(window, installation.Path(), codec, channels[codec].Video));
        acrossCodecs.push_back(TimeChange(window, installation.Path(), 0, channels[0].Video));
    }
    Report("within a multiplex", within);
    Report("across multiplexes", across);
    Report("across codecs", acrossCodecs);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return 0;
}
