#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ical/tests/IcalTestUtil.h"
#include "tests/support/TestSupport.h"

using icaltest::Fixture;
using icaltest::FixturePath;
using mivo::test::TempDir;

namespace {

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

ToolRun Tool(const std::vector<std::string>& args)
{
    TempDir dir("mivo-ical-tool");
    ToolRun run;
    run.code = mivo::test::runToEnd(MIVO_ICAL_BIN, args, dir.path(), &run.out, &run.err);
    return run;
}

}  // namespace

TEST(MivoIcalTool, NormalizeWritesWhatTheLibraryWrites)
{
    ToolRun plain = Tool({"normalize", FixturePath("basic.ics")});
    EXPECT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(plain.out.find("BEGIN:VCALENDAR\r\nCALSCALE:GREGORIAN\r\nPRODID:-//mivo.example//Mivo//EN\r\n"), 0u);
    EXPECT_NE(plain.out.find("X-RIZIDEDI-PRIVATE-METHOD:PUBLISH\r\n"), std::string::npos);
    EXPECT_EQ(plain.out.substr(plain.out.size() - 15), "END:VCALENDAR\r\n");

    ToolRun backup = Tool({"normalize", "--backup", FixturePath("basic.ics")});
    EXPECT_EQ(backup.code, 0);
    EXPECT_EQ(backup.out.find("X-RIZIDEDI-PRIVATE-METHOD"), std::string::npos);
    EXPECT_EQ(backup.out.find("X-RIZIDEDI-IDENTITY"), std::string::npos);
    EXPECT_NE(backup.out.find("X-WR-CALNAME"), std::string::npos);
    EXPECT_NE(backup.out.find("BEGIN:VEVENT"), std::string::npos);
}

TEST(MivoIcalTool, ExitCodesAndErrors)
{
    TempDir dir("mivo-ical-input");
    mivo::test::writeFile(dir / "v1.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x\r\nEND:VEVENT\r\nVERSION:1.0\r\n");
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* err;  // expected in standard error; "" for none
    } cases[] = {
        {{"normalize", dir / "v1.ics"}, 1, ""},
        {{"normalize", dir / "missing.ics"}, 2, "cannot open"},
        {{"normalize", dir.path()}, 2, "cannot read"},
        {{"normalize", "--bogus"}, 2, "unknown option"},
        {{"normalize", "a.ics", "b.ics"}, 2, "more than one input file"},
        {{}, 2, "missing command"},
        {{"frobnicate"}, 2, "unknown command"},
        {{"expand", "--from", "20130101", FixturePath("recurring.ics")}, 2, "needs --from and --to"},
        {{"expand", "--from", "2013-01-01", "--to", "20130201", FixturePath("recurring.ics")}, 2, "invalid date-time"},
        {{"expand", "--from", "20130201", "--to", "20130101", FixturePath("recurring.ics")}, 2, "later than"},
        {{"tzoffset", "America/New_York"}, 2, "needs TZID and DATETIME"},
        {{"tzoffset", "America/New_York", "20130715", FixturePath("newyork.ics")}, 2, "invalid local date-time"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        ToolRun run = Tool(c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        if (c.code == 2) {
            // One clear line.
            EXPECT_EQ(mivo::test::countOccurrences(run.err, "\n"), 1) << run.err;
            EXPECT_EQ(run.err.find("mivo_ical: "), 0u);
        }
    }
    // A rejected text is still written.
    ToolRun rejected = Tool({"normalize", dir / "v1.ics"});
    EXPECT_NE(rejected.out.find("UID:x"), std::string::npos);
}

TEST(MivoIcalTool, HelpForEveryCommand)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"normalize", "--help"}, {"expand", "--help"}, {"tzoffset", "--help"}}) {
        SCOPED_TRACE(args.front());
        ToolRun run = Tool(args);
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.out.find("Usage: mivo_ical"), 0u);
        EXPECT_TRUE(run.err.empty());
    }
}

TEST(MivoIcalTool, ExpandListsOccurrencesOfMasters)
{
    ToolRun run = Tool({"expand", "--from", "20130101T000000Z", "--to", "20130401", FixturePath("recurring.ics")});
    EXPECT_EQ(run.code, 0) << run.err;
    // Masters in the writer's order (by UID); the EXDATE is left out, the
    // overriding instances are not listed by themselves.
    EXPECT_EQ(run.out,
              "monthly-2\t20130131\n"
              "monthly-2\t20130228\n"
              "monthly-2\t20130331\n"
              "series-1\t20130105T090000Z\n"
              "series-1\t20130112T090000Z\n"
              "series-1\t20130126T090000Z\n"
              "series-1\t20130202T090000Z\n");
    ToolRun narrow = Tool({"expand", "--from", "20130112T090000Z", "--to", "20130126T090000Z",
                       FixturePath("recurring.ics")});
    EXPECT_EQ(narrow.out, "series-1\t20130112T090000Z\n");
}

TEST(MivoIcalTool, TzOffsetUsesTheFilesZones)
{
    struct Case {
        const char* tzid;
        const char* at;
        const char* out;
    } cases[] = {
        {"America/New_York", "20130715T120000", "-14400\n"},
        {"America/New_York", "20130115T120000", "-18000\n"},
        {"America/New_York", "20131103T013000", "-14400\n"},
        {"Asia/Tokyo", "20130715T120000", "0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tzid) + " " + c.at);
        ToolRun run = Tool({"tzoffset", c.tzid, c.at, FixturePath("newyork.ics")});
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.out, c.out);
    }
    ToolRun unknown = Tool({"tzoffset", "Asia/Tokyo", "20130715T120000", FixturePath("newyork.ics")});
    EXPECT_NE(unknown.err.find("not defined"), std::string::npos);
}
