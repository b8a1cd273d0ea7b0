#include "ical/CICalendarRecurrenceSet.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using iCal::CICalendarDateTime;
using iCal::CICalendarPeriod;
using iCal::CICalendarRecurrence;
using iCal::CICalendarRecurrenceSet;

namespace {

CICalendarDateTime Parse(const std::string& text)
{
    CICalendarDateTime dt;
    dt.FromText(text);
    return dt;
}

CICalendarRecurrence Rule(const std::string& text)
{
    CICalendarRecurrence rule;
    rule.FromText(text);
    return rule;
}

CICalendarPeriod Span(const std::string& from, const std::string& to)
{
    CICalendarPeriod span;
    span.start = Parse(from);
    span.end = Parse(to);
    return span;
}

std::vector<std::string> ExpandSet(CICalendarRecurrenceSet& set, const std::string& start, const std::string& from,
                                   const std::string& to)
{
    std::vector<CICalendarDateTime> out;
    set.ExpandSet(Parse(start), Span(from, to), out);
    std::vector<std::string> texts;
    for (const CICalendarDateTime& dt : out) texts.push_back(dt.ToText());
    return texts;
}

}  // namespace

TEST(CICalendarRecurrenceSet, IncludesExcludesSortsAndRemovesDuplicates)
{
    struct Row {
        const char* name;
        std::vector<std::string> rrules;
        std::vector<std::string> rdates;
        std::vector<std::string> exrules;
        std::vector<std::string> exdates;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"EXDATE removes the second occurrence", {"FREQ=DAILY;COUNT=3"}, {}, {}, {"20130102T090000"},
         {"20130101T090000", "20130103T090000"}},
        {"RDATE equal to an occurrence is listed once", {"FREQ=DAILY;COUNT=3"}, {"20130102T090000"}, {}, {},
         {"20130101T090000", "20130102T090000", "20130103T090000"}},
        {"RDATEs join in order, outside the span dropped", {"FREQ=WEEKLY;COUNT=2"},
         {"20130110T120000", "20130105T080000", "20140101T000000"}, {}, {},
         {"20130101T090000", "20130105T080000", "20130108T090000", "20130110T120000"}},
        {"EXRULE removes its occurrences", {"FREQ=DAILY;COUNT=6"}, {}, {"FREQ=DAILY;INTERVAL=2"}, {},
         {"20130102T090000", "20130104T090000", "20130106T090000"}},
        {"two rules overlap", {"FREQ=DAILY;INTERVAL=2;COUNT=3", "FREQ=DAILY;INTERVAL=3;COUNT=3"}, {}, {}, {},
         {"20130101T090000", "20130103T090000", "20130104T090000", "20130105T090000", "20130107T090000"}},
        {"a DATE EXDATE removes its day", {"FREQ=DAILY;COUNT=3"}, {}, {}, {"20130103"},
         {"20130101T090000", "20130102T090000"}},
        {"no rules: the start and the RDATEs", {}, {"20130201T090000"}, {}, {},
         {"20130101T090000", "20130201T090000"}},
        {"EXDATE of the start", {"FREQ=DAILY;COUNT=2"}, {}, {}, {"20130101T090000"}, {"20130102T090000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CICalendarRecurrenceSet set;
        for (const std::string& r : row.rrules) set.rrules.push_back(Rule(r));
        for (const std::string& d : row.rdates) set.rdates.push_back(Parse(d));
        for (const std::string& r : row.exrules) set.exrules.push_back(Rule(r));
        for (const std::string& d : row.exdates) set.exdates.push_back(Parse(d));
        EXPECT_EQ(row.expected, ExpandSet(set, "20130101T090000", "20130101", "20131231"));
        // Asked again (answered from the rules' caches): the same list.
        EXPECT_EQ(row.expected, ExpandSet(set, "20130101T090000", "20130101", "20131231"));
    }
}

TEST(CICalendarRecurrenceSet, SpanAndPeriods)
{
    CICalendarRecurrenceSet set;
    EXPECT_TRUE(set.IsEmpty());
    set.rrules.push_back(Rule("FREQ=DAILY;COUNT=10"));
    EXPECT_FALSE(set.IsEmpty());
    // The start outside the span is not listed.
    EXPECT_EQ((std::vector<std::string>{"20130103", "20130104"}), ExpandSet(set, "20130101", "20130103", "20130105"));

    CICalendarRecurrenceSet periods;
    CICalendarPeriod inside;
    inside.FromText("20130110T230000Z/PT2H");  // overlaps the span's end... starts inside
    CICalendarPeriod overlapping;
    overlapping.FromText("20130102T220000Z/PT4H");  // starts before the span, ends inside
    CICalendarPeriod before;
    before.FromText("20130101T000000Z/PT1H");
    periods.rperiods = {inside, overlapping, before};
    CICalendarPeriod excluded;
    excluded.FromText("20130110T230000Z/PT1H");
    periods.experiods.push_back(excluded);
    EXPECT_EQ((std::vector<std::string>{"20130102T220000Z", "20130105T000000Z"}),
              ExpandSet(periods, "20130105T000000Z", "20130103T000000Z", "20130111T000000Z"));
}
