// brisome-epg as a user runs it: two generated multiplexes in, one XMLTV
// document out that the XMLTV validator accepts, with the names and schedule
// of both; and its faults reported in French.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/command_fixture.h"

namespace {

namespace fs = std::filesystem;

const char* const kBroadcast = R"(
broadcast clock=2026-12-09T14:00:00 seconds=2
repeat eit-schedule=500 tdt=1000 tot=1000
charset table=latin9
mux uhf=21 tsid=1 onid=0x20FA
service sid=0x101 name="Télé Été" pmt=0x100
audio pid=0x111
event start=2026-12-09T13:30 duration=01:00 title="L'été & <la mer>" text="Résumé" genre=0x10 rating=12 hd=1 st=1 long="Une longue histoire."
event duration=00:30 title="Journal" genre=0x20
mux uhf=22 tsid=2 onid=0x20FA
service sid=0x201 name="Radio Œ" pmt=0x200
audio pid=0x211
event start=2026-12-10T20:00 duration=02:00 title="Nuit" rating=18
)";

class BrisomeEpgTest : public CommandTest {
protected:
    BrisomeEpgTest() : CommandTest("brisome_epg_test_") {}

    void SetUp() override
    {
        CommandTest::SetUp();
        std::ofstream(dir_ / "broadcast.txt") << kBroadcast;
        ASSERT_EQ(Run(std::string(TSGEN_EXE) + " " + (dir_ / "broadcast.txt").string() + " " + (dir_ / "ts").string()), 0)
            << err_;
    }
};

TEST_F(BrisomeEpgTest, WritesValidXmltvOfEveryMultiplex)
{
    const std::string streams = (dir_ / "ts" / "474166.ts").string() + " " + (dir_ / "ts" / "482166.ts").string();
    ASSERT_EQ(Run(std::string(BRISOME_EPG_EXE) + " " + streams + " -o " + (dir_ / "guide.xml").string()), 0) << err_;
    const std::string xml = ReadText(dir_ / "guide.xml");
    for (const char* expected :
         {"<display-name lang=\"fr\">Télé Été</display-name>", "<display-name lang=\"fr\">Radio Œ</display-name>",
          "<programme start=\"20261209133000 +0000\" stop=\"20261209143000 +0000\" channel=\"257.1.8442.dvb.brisome\">",
          "<title lang=\"fr\">L&apos;été &amp; &lt;la mer&gt;</title>", "<desc lang=\"fr\">Une longue histoire.</desc>",
          "<category lang=\"fr\">Information</category>", "<quality>HDTV</quality>", "<value>-12</value>",
          "<subtitles type=\"teletext\">", "<value>-18</value>"})
        EXPECT_NE(xml.find(expected), std::string::npos) << expected;

    // The same document on standard output.
    ASSERT_EQ(Run(std::string(BRISOME_EPG_EXE) + " " + streams), 0);
    EXPECT_EQ(out_, xml);

    if (std::system("command -v tv_validate_file >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "tv_validate_file (Debian package xmltv-util) is not installed";
    // The validator reads the DTD from its own installed copy, not the network.
    EXPECT_EQ(Run("XMLTV_SUPPLEMENT=/usr/share/xmltv tv_validate_file " + (dir_ / "guide.xml").string()), 0)
        << out_ << err_;
}

TEST_F(BrisomeEpgTest, ReportsFaultsInFrench)
{
    EXPECT_EQ(Run(BRISOME_EPG_EXE), 2);
    EXPECT_NE(err_.find("Usage : brisome-epg"), std::string::npos);
    EXPECT_EQ(Run(std::string(BRISOME_EPG_EXE) + " " + (dir_ / "absent.ts").string()), 1);
    EXPECT_NE(err_.find("ne peut pas être ouvert"), std::string::npos);
    EXPECT_EQ(Run(std::string(BRISOME_EPG_EXE) + " " + (dir_ / "ts" / "474166.ts").string() + " -o " +
                  (dir_ / "absent" / "guide.xml").string()),
              1);
    EXPECT_NE(err_.find("ne peut pas être créé"), std::string::npos);
}

}  // namespace
