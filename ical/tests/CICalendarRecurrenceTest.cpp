#include "ical/CICalendarRecurrence.h"

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using iCal::CICalendarDateTime;
using iCal::CICalendarPeriod;
using iCal::CICalendarRecurrence;

namespace {

CICalendarDateTime Parse(const std::string& text)
{
    CICalendarDateTime dt;
    dt.FromText(text);
    return dt;
}

CICalendarPeriod Span(const std::string& from, const std::string& to)
{
    CICalendarPeriod span;
    span.start = Parse(from);
    span.end = Parse(to);
    return span;
}

std::vector<std::string> Texts(const std::vector<CICalendarDateTime>& list)
{
    std::vector<std::string> texts;
    for (const CICalendarDateTime& dt : list) texts.push_back(dt.ToText());
    return texts;
}

std::vector<std::string> Expand(CICalendarRecurrence& rule, const std::string& start, const std::string& from,
                                const std::string& to)
{
    std::vector<CICalendarDateTime> out;
    rule.Expand(Parse(start), Span(from, to), out);
    return Texts(out);
}

std::vector<std::string> Expand(const std::string& ruleText, const std::string& start, const std::string& from,
                                const std::string& to)
{
    CICalendarRecurrence rule;
    rule.FromText(ruleText);
    return Expand(rule, start, from, to);
}

}  // namespace

TEST(CICalendarRecurrence, ReadAndWrite)
{
    struct Row {
        const char* text;
        const char* written;
    };
    const Row rows[] = {
        {"FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", "FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3"},
        {"FREQ=WEEKLY;WKST=SU;BYDAY=MO,+2TU,we", "FREQ=WEEKLY;BYDAY=MO,2TU,WE;WKST=SU"},
        {"FREQ=DAILY;COUNT=2;UNTIL=20130110", "FREQ=DAILY;COUNT=2"},  // UNTIL refused after COUNT
        {"FREQ=DAILY;UNTIL=20130110T000000Z;COUNT=2", "FREQ=DAILY;UNTIL=20130110T000000Z"},
        {"FREQ=DAILY;UNTIL=20130110", "FREQ=DAILY;UNTIL=20130110"},
        {"COUNT=5;FREQ=DAILY", "FREQ=YEARLY"},  // FREQ not first: nothing read
        {"FREQ=daily", "FREQ=DAILY"},           // the name in any case
        {"freq=DAILY", "FREQ=YEARLY"},          // the keyword only upper case
        {"FREQ=FORTNIGHTLY;COUNT=3", "FREQ=YEARLY"},
        {"FREQ=DAILY;COUNT=0", "FREQ=DAILY;COUNT=1"},
        {"FREQ=DAILY;COUNT=-4", "FREQ=DAILY;COUNT=1"},
        {"FREQ=DAILY;COUNT=x", "FREQ=DAILY;COUNT=1"},
        {"FREQ=DAILY;INTERVAL=0", "FREQ=DAILY"},
        {"FREQ=DAILY;INTERVAL=3", "FREQ=DAILY;INTERVAL=3"},
        {"FREQ=DAILY;interval=2; count=3", "FREQ=DAILY;COUNT=3;INTERVAL=2"},
        {"FREQ=MONTHLY;BYMONTHDAY=1,-1;BYMONTHDAY=15", "FREQ=MONTHLY;BYMONTHDAY=1,-1"},  // second list refused
        {"FREQ=MONTHLY;BYMONTHDAY=1,x", "FREQ=MONTHLY;BYMONTHDAY=1,0"},
        {"FREQ=MONTHLY;BYMONTHDAY=1;X-NAME=3;COUNT=2", "FREQ=MONTHLY;BYMONTHDAY=1"},   // unknown part ends reading
        {"FREQ=MONTHLY;BYSETPOS=99999999999", "FREQ=MONTHLY"},                        // overflow ends the list
        {"FREQ=MONTHLY;BYDAY=MO,XX,TU", "FREQ=MONTHLY;BYDAY=MO"},
        {"FREQ=WEEKLY;WKST=XX;COUNT=2", "FREQ=WEEKLY"},
        {"FREQ=WEEKLY;WKST=MO", "FREQ=WEEKLY"},
        {"FREQ=SECONDLY;BYSECOND=0,30;BYMINUTE=5;BYHOUR=1;BYYEARDAY=-1;BYWEEKNO=2;BYMONTH=1,2;BYSETPOS=1",
         "FREQ=SECONDLY;BYSECOND=0,30;BYMINUTE=5;BYHOUR=1;BYYEARDAY=-1;BYWEEKNO=2;BYMONTH=1,2;BYSETPOS=1"},
        {"", "FREQ=YEARLY"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CICalendarRecurrence rule;
        rule.useCount = true;  // reading starts from the defaults
        rule.byHour.push_back(3);
        rule.FromText(row.text);
        EXPECT_EQ(row.written, rule.ToText());
        std::ostringstream stream;
        stream << rule;
        EXPECT_EQ(row.written, stream.str());
        // What is written reads back to the same rule.
        CICalendarRecurrence again;
        again.FromText(rule.ToText());
        EXPECT_EQ(row.written, again.ToText());
    }
}

// Rules worked out by hand, most of them the examples of RFC 5545 section
// 3.8.5.3.
TEST(CICalendarRecurrence, ExpandExamples)
{
    struct Row {
        const char* rule;
        const char* start;
        const char* from;
        const char* to;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "19961027T030000", "19960101T000000", "20000101T000000",
         {"19961027T030000", "19971026T030000", "19981025T030000", "19991031T030000"}},
        {"FREQ=YEARLY;BYMONTH=3;BYDAY=2SU", "20070311T020000", "20070101T000000", "20110101T000000",
         {"20070311T020000", "20080309T020000", "20090308T020000", "20100314T020000"}},
        // Simple expansion: months without the 31st are skipped.
        {"FREQ=MONTHLY;COUNT=3", "20130131", "20130101", "20140101", {"20130131", "20130331", "20130531"}},
        {"FREQ=MONTHLY;BYMONTHDAY=-1;COUNT=3", "20130131", "20130101", "20140101",
         {"20130131", "20130228", "20130331"}},
        // The 31st does not spill into the next month.
        {"FREQ=MONTHLY;BYMONTHDAY=31;COUNT=4", "20130131", "20130101", "20140101",
         {"20130131", "20130331", "20130531", "20130731"}},
        {"FREQ=MONTHLY;BYMONTH=2,3;BYMONTHDAY=30", "20130101", "20130101", "20140101", {"20130101", "20130330"}},
        {"FREQ=DAILY;UNTIL=20130103", "20130101", "20130101", "20140101", {"20130101", "20130102", "20130103"}},
        {"FREQ=DAILY;UNTIL=20130103", "20130101T090000", "20130101", "20140101",
         {"20130101T090000", "20130102T090000", "20130103T090000"}},  // a DATE UNTIL covers its whole day
        {"FREQ=DAILY;UNTIL=20130103", "20130105", "20130101", "20140101", {"20130105"}},  // the start always
        {"FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20130103", "20130105", "20130101", "20140101", {"20130105"}},
        {"FREQ=WEEKLY;BYDAY=MO,WE;COUNT=4", "20130107T100000", "20130101", "20140101",
         {"20130107T100000", "20130109T100000", "20130114T100000", "20130116T100000"}},
        {"FREQ=WEEKLY;BYDAY=MO,WE;COUNT=4;WKST=SU", "20130107T100000", "20130101", "20140101",
         {"20130107T100000", "20130109T100000", "20130114T100000", "20130116T100000"}},
        // WKST decides which days share a week when INTERVAL skips weeks.
        {"FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=MO", "19970805T090000", "19970101", "19980101",
         {"19970805T090000", "19970810T090000", "19970819T090000", "19970824T090000"}},
        {"FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=SU", "19970805T090000", "19970101", "19980101",
         {"19970805T090000", "19970817T090000", "19970819T090000", "19970831T090000"}},
        // Last weekday of the month.
        {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", "20130101", "20130101", "20130601",
         {"20130101", "20130131", "20130228", "20130329", "20130430", "20130531"}},
        {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=1,-1;COUNT=5", "20130101", "20130101", "20130601",
         {"20130101", "20130131", "20130201", "20130228", "20130301"}},
        // 29 February: only in leap years, never drifting to 1 March.
        {"FREQ=YEARLY;COUNT=3", "20120229", "20120101", "20300101", {"20120229", "20160229", "20200229"}},
        {"FREQ=YEARLY;BYMONTH=2", "20120229", "20120101", "20170101", {"20120229", "20160229"}},
        {"FREQ=YEARLY;BYYEARDAY=366", "20120101", "20120101", "20170101", {"20120101", "20121231", "20161231"}},
        {"FREQ=YEARLY;BYWEEKNO=20;BYDAY=MO", "19970512T090000", "19970101", "20000101",
         {"19970512T090000", "19980511T090000", "19990517T090000"}},
        // ISO weeks: the last week, and week 1 beginning in December.
        {"FREQ=YEARLY;BYWEEKNO=-1;BYDAY=MO", "20130101", "20130101", "20160201",
         {"20130101", "20131223", "20141222", "20151228"}},
        {"FREQ=YEARLY;BYWEEKNO=1;BYDAY=MO", "20130101", "20130101", "20160201",
         {"20130101", "20131230", "20141229", "20160104"}},
        {"FREQ=DAILY;BYWEEKNO=1", "20121224", "20121201", "20130110",
         {"20121224", "20121231", "20130101", "20130102", "20130103", "20130104", "20130105", "20130106"}},
        {"FREQ=YEARLY;INTERVAL=3;COUNT=10;BYYEARDAY=1,100,200", "19970101T090000", "19970101", "20100101",
         {"19970101T090000", "19970410T090000", "19970719T090000", "20000101T090000", "20000409T090000",
          "20000718T090000", "20030101T090000", "20030410T090000", "20030719T090000", "20060101T090000"}},
        // Friday the 13th.
        {"FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13;COUNT=5", "19970902T090000", "19970101", "20050101",
         {"19970902T090000", "19980213T090000", "19980313T090000", "19981113T090000", "19990813T090000"}},
        // US presidential election day.
        {"FREQ=YEARLY;INTERVAL=4;BYMONTH=11;BYDAY=TU;BYMONTHDAY=2,3,4,5,6,7,8", "19961105T090000", "19960101",
         "20050101", {"19961105T090000", "20001107T090000", "20041102T090000"}},
        {"FREQ=MONTHLY;BYDAY=-2MO;COUNT=3", "19970922T090000", "19970101", "19980101",
         {"19970922T090000", "19971020T090000", "19971117T090000"}},
        // A fifth Monday only where the month has one.
        {"FREQ=MONTHLY;BYDAY=5MO", "20130101", "20130101", "20140101",
         {"20130101", "20130429", "20130729", "20130930", "20131230"}},
        {"FREQ=YEARLY;BYDAY=20MO;COUNT=3", "19970519T090000", "19970101", "20000101",
         {"19970519T090000", "19980518T090000", "19990517T090000"}},
        {"FREQ=HOURLY;INTERVAL=3;UNTIL=19970902T170000Z", "19970902T090000Z", "19970101", "19980101",
         {"19970902T090000Z", "19970902T120000Z", "19970902T150000Z"}},
        {"FREQ=MINUTELY;INTERVAL=15;COUNT=6", "19970902T090000", "19970101", "19980101",
         {"19970902T090000", "19970902T091500", "19970902T093000", "19970902T094500", "19970902T100000",
          "19970902T101500"}},
        {"FREQ=DAILY;BYHOUR=9,10;BYMINUTE=0,30;COUNT=5", "20130101T090000", "20130101", "20140101",
         {"20130101T090000", "20130101T093000", "20130101T100000", "20130101T103000", "20130102T090000"}},
        {"FREQ=DAILY;COUNT=0", "20130101", "20130101", "20140101", {"20130101"}},
        // A date reached twice within a period is one occurrence, counted once.
        {"FREQ=YEARLY;BYMONTH=1,2;BYYEARDAY=100;COUNT=3", "20130410", "20130101", "20200101",
         {"20130410", "20140410", "20150410"}},
        {"FREQ=MONTHLY;BYDAY=MO;BYSETPOS=1,1,-5;COUNT=3", "20130107", "20130101", "20140101",
         {"20130107", "20130204", "20130304"}},
        // Below DAILY, days that the date limits reject are passed over in the rule's own rhythm.
        {"FREQ=HOURLY;INTERVAL=5;BYDAY=MO;COUNT=6", "20130106T220000", "20130101", "20140101",
         {"20130106T220000", "20130107T030000", "20130107T080000", "20130107T130000", "20130107T180000",
          "20130107T230000"}},
        {"FREQ=HOURLY;INTERVAL=5;BYDAY=MO", "20130106T220000", "20130113T000000", "20130115T000000",
         {"20130114T000000", "20130114T050000", "20130114T100000", "20130114T150000", "20130114T200000"}},
        {"FREQ=MINUTELY;INTERVAL=7;BYMONTHDAY=2;COUNT=4", "20130101T235000", "20130101", "20140101",
         {"20130101T235000", "20130102T000400", "20130102T001100", "20130102T001800"}},
        {"FREQ=SECONDLY;INTERVAL=7;BYMONTH=2;COUNT=3", "20130131T235959", "20130101", "20140101",
         {"20130131T235959", "20130201T000006", "20130201T000013"}},
        {"FREQ=SECONDLY;INTERVAL=25;BYHOUR=1;BYMINUTE=2;COUNT=4", "20130101T000000", "20130101", "20140101",
         {"20130101T000000", "20130101T010205", "20130101T010230", "20130101T010255"}},
        // The span selects: start included, end excluded; the start itself outside it.
        {"FREQ=DAILY", "20130101", "20130103", "20130105", {"20130103", "20130104"}},
        {"FREQ=DAILY;BYHOUR=8", "20130101T080000", "20130103T080000", "20130105T080000",
         {"20130103T080000", "20130104T080000"}},
        {"FREQ=DAILY;COUNT=3", "20130101", "20130201", "20130301", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.rule) + " from " + row.start);
        EXPECT_EQ(row.expected, Expand(row.rule, row.start, row.from, row.to));
    }
}

TEST(CICalendarRecurrence, OccurrencesKeepTheZoneOfTheStart)
{
    CICalendarRecurrence rule;
    rule.FromText("FREQ=WEEKLY;BYDAY=SA,SU;COUNT=3");
    CICalendarDateTime start = Parse("20130105T090000");
    start.SetTzid("Asia/Tokyo");
    std::vector<CICalendarDateTime> out;
    rule.Expand(start, Span("20130101T000000", "20140101T000000"), out);
    ASSERT_EQ(3u, out.size());
    for (const CICalendarDateTime& dt : out) EXPECT_EQ("Asia/Tokyo", dt.zone.tzid);
    EXPECT_EQ((std::vector<std::string>{"20130105T090000", "20130106T090000", "20130112T090000"}), Texts(out));
}

TEST(CICalendarRecurrence, CacheIsReusedExtendedAndDropped)
{
    CICalendarRecurrence rule;
    rule.FromText("FREQ=MONTHLY;BYMONTHDAY=15");
    const std::string start = "20130115T090000";

    // First expansion fills the cache up to the span's end.
    EXPECT_EQ((std::vector<std::string>{"20130115T090000", "20130215T090000", "20130315T090000"}),
              Expand(rule, start, "20130101", "20130401"));
    EXPECT_TRUE(rule.cached);
    EXPECT_EQ("20130401", rule.cacheEnd.ToText());
    const size_t firstSize = rule.cacheItems.size();

    // Same start, a span ending no later: answered from the cache.
    EXPECT_EQ((std::vector<std::string>{"20130215T090000"}), Expand(rule, start, "20130201", "20130301"));
    EXPECT_EQ("20130401", rule.cacheEnd.ToText());
    EXPECT_EQ(firstSize, rule.cacheItems.size());

    // A later end extends the cache; no occurrence is held twice.
    EXPECT_EQ((std::vector<std::string>{"20130415T090000", "20130515T090000"}),
              Expand(rule, start, "20130401", "20130601"));
    EXPECT_EQ("20130601", rule.cacheEnd.ToText());
    EXPECT_EQ((std::vector<std::string>{"20130115T090000", "20130215T090000", "20130315T090000", "20130415T090000",
                                        "20130515T090000"}),
              Texts(rule.cacheItems));

    // Another start drops it.
    EXPECT_EQ((std::vector<std::string>{"20130320T090000", "20130415T090000"}),
              Expand(rule, "20130320T090000", "20130101", "20130501"));
    EXPECT_EQ("20130320T090000", rule.cacheStart.ToText());
    EXPECT_EQ("20130501", rule.cacheEnd.ToText());

    // A DATE start on the same day is another start, not a cache hit.
    EXPECT_EQ((std::vector<std::string>{"20130320", "20130415"}), Expand(rule, "20130320", "20130101", "20130501"));

    // A DATE-TIME end on the day of a cached DATE end is later, not covered.
    CICalendarRecurrence daily;
    daily.FromText("FREQ=DAILY;BYHOUR=9");
    EXPECT_EQ((std::vector<std::string>{"20130101T090000", "20130102T090000"}),
              Expand(daily, "20130101T090000", "20130101", "20130103"));
    EXPECT_EQ((std::vector<std::string>{"20130103T090000"}),
              Expand(daily, "20130101T090000", "20130103", "20130103T120000"));

    // Reading the rule again drops the cache.
    rule.FromText("FREQ=MONTHLY;BYMONTHDAY=15");
    EXPECT_FALSE(rule.cached);
    EXPECT_TRUE(rule.cacheItems.empty());
}

TEST(CICalendarRecurrence, EndedRuleAnswersAnyLaterSpanFromTheCache)
{
    CICalendarRecurrence rule;
    rule.FromText("FREQ=DAILY;COUNT=3");
    EXPECT_EQ((std::vector<std::string>{"20130101", "20130102", "20130103"}),
              Expand(rule, "20130101", "20130101", "20130201"));
    EXPECT_TRUE(rule.cacheComplete);
    EXPECT_EQ((std::vector<std::string>{"20130102", "20130103"}), Expand(rule, "20130101", "20130102", "20300101"));
    EXPECT_EQ("20130201", rule.cacheEnd.ToText());  // not recomputed

    // A copy carries the cache.
    const CICalendarRecurrence copy(rule);
    EXPECT_TRUE(copy.cached);
    EXPECT_EQ(3u, copy.cacheItems.size());
}

// A hostile rule stops at the limits and answers with what it found.
TEST(CICalendarRecurrence, HostileRulesStopAtTheLimits)
{
    struct Row {
        const char* rule;
        const char* start;
        const char* end;
        bool truncated;
        bool fillsToTheLimit;
    };
    const Row rows[] = {
        {"FREQ=SECONDLY", "19700101T000000Z", "20300101T000000Z", true, true},
        {"FREQ=YEARLY;BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;BYMONTHDAY=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,"
         "19,20,21,22,23,24,25,26,27,28;BYHOUR=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23;"
         "BYMINUTE=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,33,34,"
         "35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50,51,52,53,54,55,56,57,58,59;BYSECOND=0,1,2,3,4,5,6,7,8,9,"
         "10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,"
         "45,46,47,48,49,50,51,52,53,54,55,56,57,58,59",
         "20130101T000000Z", "20300101T000000Z", true, false},
        // Never matches: passed over day by day, not second by second, so it ends.
        {"FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30", "19700101T000000Z", "20300101T000000Z", false, false},
        {"FREQ=SECONDLY;BYHOUR=25", "20130101T000000Z", "20300101T000000Z", false, false},
        {"FREQ=SECONDLY;BYSECOND=60", "19700101T000000Z", "20300101T000000Z", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        CICalendarRecurrence rule;
        rule.FromText(row.rule);
        std::vector<CICalendarDateTime> out;
        const auto began = std::chrono::steady_clock::now();
        CICalendarPeriod span;
        span.start = Parse(row.start);
        span.end = Parse(row.end);
        EXPECT_EQ(row.truncated, rule.Expand(Parse(row.start), span, out));
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - began);
        EXPECT_LT(seconds.count(), 60);
        EXPECT_LE(out.size(), CICalendarRecurrence::kMaxOccurrences);
        if (row.fillsToTheLimit) {
            EXPECT_EQ(CICalendarRecurrence::kMaxOccurrences, out.size());
        }
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(row.start, out.front().ToText());
        // Whatever it found is in order.
        for (size_t i = 1; i < out.size(); ++i) {
            ASSERT_LT(CICalendarDateTime::CompareDateTime(out[i - 1], out[i]), 0) << i;
        }
    }

    // Huge intervals and ordinals end without overflow.
    EXPECT_EQ((std::vector<std::string>{"20130101"}),
              Expand("FREQ=YEARLY;INTERVAL=2147483647", "20130101", "20130101", "99990101"));
    EXPECT_EQ((std::vector<std::string>{"20130101"}),
              Expand("FREQ=MONTHLY;INTERVAL=2147483647;BYMONTHDAY=1", "20130101", "20130101", "99990101"));
    EXPECT_EQ((std::vector<std::string>{"20130101"}),
              Expand("FREQ=MONTHLY;BYDAY=2147483647MO,-2147483648TU", "20130101", "20130101", "20140101"));
}
