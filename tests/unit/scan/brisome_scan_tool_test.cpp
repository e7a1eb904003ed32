// The offline scan tool run as a process on small recorded multiplexes.
#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "channels/channel_file_win.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"
#include "tests/unit/scan/tool_runner.h"

namespace {

using namespace tstest;
using namespace scantest;
namespace fs = std::filesystem;

// One PID's sections as transport packets.
Bytes Packets(unsigned pid, const std::vector<Bytes>& sections)
{
    unsigned counter = 0;
    return Packetize(pid, sections, counter);
}

class BrisomeScanTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        work_ = fs::path(temp) / (L"brisome_scan_" + std::to_wstring(GetCurrentProcessId()));
        fs::remove_all(work_);
        fs::create_directories(work_ / L"multiplex");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(work_, ec);
        CoUninitialize();
    }

    void WriteFile(const fs::path& p, const Bytes& bytes)
    {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    }
    void WriteIni(const std::string& text) { WriteFile(work_ / L"canaux.ini", Text(text)); }
    void WriteMultiplex(int khz, const Bytes& packets)
    {
        WriteFile(work_ / L"multiplex" / (std::to_wstring(khz) + L".ts"), packets);
    }

    ToolRun RunTool(const std::wstring& arguments) { return RunBrisomeScan(work_, arguments); }

    ChannelList LoadResult()
    {
        ChannelList list;
        EXPECT_TRUE(LoadChannelFile(list, (work_ / L"chaines.xml").wstring()));
        return list;
    }

    fs::path work_;
};

// Multiplex 1 (TSID 1): "TV B" (LCN 7), a radio (LCN 30) and "TV A" (LCN 5),
// with a later SDT version that must not be the one read.
Bytes FirstMultiplex(bool withNit)
{
    Bytes ts = Concat({
        Packets(0x00, {Pat(1, {{0, 0x10}, {1, 0x100}, {2, 0x200}, {3, 0x300}})}),
        Packets(0x100, {Pmt(1, 0x101, {{0x02, 0x101, {}}, {0x03, 0x102, {}}, {0x06, 0x103, Ac3Descriptor()}})}),
        Packets(0x200, {Pmt(2, 0x201, {{0x03, 0x201, {}}})}),
        Packets(0x300, {Pmt(3, 0x301, {{0x02, 0x301, {}}, {0x04, 0x302, {}}})}),
        Packets(0x11, {Sdt(1, 0x20FA, {Service(1, "GR1", "TV B"), Service(2, "GR1", "Radio"),
                                       Service(3, "GR1", "TV A")}),
                       Sdt(1, 0x20FA, {Service(1, "GR1", "Later name")})}),
    });
    if (withNit)
        Append(ts, Packets(0x10, {Nit(0x20FA, {{1, 0x20FA, LogicalChannelDescriptor({{1, 7}, {2, 30}, {3, 5}})}})}));
    return ts;
}

// Multiplex 2 (TSID 2): "TV C" (LCN 1); its NIT numbers both multiplexes.
Bytes SecondMultiplex()
{
    return Concat({
        Packets(0x11, {Sdt(2, 0x20FA, {Service(10, "GR2", "TV C")})}),
        Packets(0x00, {Pat(2, {{0, 0x10}, {10, 0x400}})}),
        Packets(0x400, {Pmt(10, 0x401, {{0x02, 0x401, {}}, {0x03, 0x402, {}}})}),
        Packets(0x10, {Nit(0x20FA, {{1, 0x20FA, LogicalChannelDescriptor({{1, 7}, {2, 30}, {3, 5}})},
                                    {2, 0x20FA, LogicalChannelDescriptor({{10, 1}})}})}),
    });
}

TEST_F(BrisomeScanTool, ScansTheCityNumbersFiltersSortsAndSaves)
{
    // R3 (522166 kHz) has no file: no signal there.
    WriteIni("[Testville]\r\nR1=21\r\nR2=24\r\nR3=27\r\n");
    WriteMultiplex(474166, FirstMultiplex(false));
    WriteMultiplex(498166, SecondMultiplex());

    const ToolRun run = RunTool(L"multiplex Testville");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("522166 kHz : pas de signal"), std::string::npos) << run.out;

    const ChannelList list = LoadResult();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_STREQ(list[0].Nom, "TV C");
    EXPECT_EQ(list[0].Numero, 1);
    EXPECT_EQ(list[0].Frequence, 498166);
    EXPECT_EQ(list[0].TSID, 2);
    EXPECT_EQ(list[0].PMT, 0x400);
    EXPECT_EQ(list[0].Son1, 0x402);
    EXPECT_STREQ(list[1].Nom, "TV A");
    EXPECT_EQ(list[1].Numero, 5);
    EXPECT_EQ(list[1].Video, 0x301);
    EXPECT_STREQ(list[2].Nom, "TV B");
    EXPECT_STREQ(list[2].Groupe, "GR1");
    EXPECT_EQ(list[2].Numero, 7);
    EXPECT_EQ(list[2].Frequence, 474166);
    EXPECT_EQ(list[2].ONID, 0x20FA);
    EXPECT_EQ(list[2].SID, 1);
    EXPECT_EQ(list[2].PCR, 0x101);
    EXPECT_EQ(list[2].Ac3, 0x103);
}

TEST_F(BrisomeScanTool, WithoutNitEveryServiceStaysInScanOrder)
{
    WriteIni("[Testville]\r\nR1=21\r\n");
    WriteMultiplex(474166, FirstMultiplex(false));
    const ToolRun run = RunTool(L"multiplex Testville");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const ChannelList list = LoadResult();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_STREQ(list[0].Nom, "TV B");
    EXPECT_STREQ(list[1].Nom, "Radio");
    EXPECT_STREQ(list[2].Nom, "TV A");
    for (const Chaine& c : list)
        EXPECT_EQ(c.Numero, 0);
}

TEST_F(BrisomeScanTool, UnknownCityScansTheWholeBand)
{
    // No canaux.ini at all: channel 69 is part of the band that gets scanned.
    WriteMultiplex(858166, FirstMultiplex(true));
    const ToolRun run = RunTool(L"multiplex \"Ville inconnue\"");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const ChannelList list = LoadResult();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Frequence, 858166);
}

TEST_F(BrisomeScanTool, WrongArgumentsAndUnreadableFolderFailWithAFrenchMessage)
{
    ToolRun run = RunTool(L"");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("Usage : brisome-scan"), std::string::npos) << run.err;

    run = RunTool(L"multiplex Testville en trop");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("deux arguments sont attendus, 4 ont \xC3\xA9t\xC3\xA9 donn\xC3\xA9s"), std::string::npos)
        << run.err;

    run = RunTool(L"absent Testville");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("n'existe pas ou n'est pas un dossier"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(work_ / L"chaines.xml"));
}

TEST_F(BrisomeScanTool, NothingFoundWritesNoFile)
{
    WriteIni("[Testville]\r\nR1=21\r\n");
    const ToolRun run = RunTool(L"multiplex Testville");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("Aucune chaine n'a \xC3\xA9t\xC3\xA9 trouv\xC3\xA9" "e"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(work_ / L"chaines.xml"));
}

TEST_F(BrisomeScanTool, EveryServiceUnplayableLeavesTheEarlierFileAsItWas)
{
    // A radio-only multiplex with a NIT: every record is dropped after numbering.
    WriteIni("[Testville]\r\nR1=21\r\n");
    WriteMultiplex(474166, Concat({
                               Packets(0x11, {Sdt(1, 0x20FA, {Service(2, "GR1", "Radio")})}),
                               Packets(0x00, {Pat(1, {{2, 0x200}})}),
                               Packets(0x200, {Pmt(2, 0x201, {{0x03, 0x201, {}}})}),
                               Packets(0x10, {Nit(0x20FA, {{1, 0x20FA, LogicalChannelDescriptor({{2, 30}})}})}),
                           }));
    const std::string earlier = "<Chaines>\r\n</Chaines>\r\n<!-- earlier -->";
    std::ofstream(work_ / L"chaines.xml", std::ios::binary) << earlier;

    const ToolRun run = RunTool(L"multiplex Testville");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("Aucune chaine n'a \xC3\xA9t\xC3\xA9 trouv\xC3\xA9" "e"), std::string::npos) << run.err;
    std::ifstream in(work_ / L"chaines.xml", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), earlier);
}

}  // namespace
