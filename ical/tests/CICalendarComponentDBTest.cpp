#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarVEvent.h"
#include "ical/tests/IcalTestUtil.h"

using iCal::CICalendar;
using iCal::CICalendarVEvent;
using namespace icaltest;

namespace {

std::string Event(const std::string& lines)
{
    return "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n";
}

const CICalendarVEvent& EventAt(CICalendar& calendar, const std::string& key)
{
    return static_cast<const CICalendarVEvent&>(*calendar.events.at(key));
}

}  // namespace

TEST(CICalendarComponentDB, SequenceDecidesBetweenTwoOfOneKey)
{
    struct Case {
        const char* name;
        std::string first;
        std::string second;
        const char* kept;
    } cases[] = {
        {"1 then 3", "UID:a\r\nSEQUENCE:1\r\nSUMMARY:first\r\n", "UID:a\r\nSEQUENCE:3\r\nSUMMARY:second\r\n", "second"},
        {"3 then 1", "UID:a\r\nSEQUENCE:3\r\nSUMMARY:first\r\n", "UID:a\r\nSEQUENCE:1\r\nSUMMARY:second\r\n", "first"},
        {"2 then 2", "UID:a\r\nSEQUENCE:2\r\nSUMMARY:first\r\n", "UID:a\r\nSEQUENCE:2\r\nSUMMARY:second\r\n", "first"},
        {"no UID, no SEQUENCE", "SUMMARY:first\r\n", "SUMMARY:second\r\n", "first"},
        {"no UID, greater SEQUENCE", "SUMMARY:first\r\n", "SEQUENCE:1\r\nSUMMARY:second\r\n", "second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CICalendar calendar;
        ASSERT_TRUE(ReadText(calendar, Calendar(Event(c.first) + Event(c.second))));
        ASSERT_EQ(calendar.events.size(), 1u);
        EXPECT_EQ(calendar.events.begin()->first.substr(0, 2), "u:");
        EXPECT_EQ(static_cast<const CICalendarVEvent&>(*calendar.events.begin()->second).summary, c.kept);
    }
}

TEST(CICalendarComponentDB, RefusesComponentsWithoutKey)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Calendar("BEGIN:VFREEBUSY\r\nDTSTART:20130105T090000Z\r\nEND:VFREEBUSY\r\n"
                                            "BEGIN:VTIMEZONE\r\nBEGIN:STANDARD\r\nTZOFFSETTO:+0100\r\n"
                                            "DTSTART:19700101T000000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n")));
    EXPECT_TRUE(calendar.freeBusys.empty());
    EXPECT_TRUE(calendar.timezones.empty());
    EXPECT_EQ(WriteText(calendar).find("BEGIN:V", 1), std::string::npos);
}

TEST(CICalendarComponentDB, InstanceAndMasterLinkInEitherOrder)
{
    const std::string master = Event("UID:abc\r\nDTSTART:20130105T090000Z\r\nDTEND:20130105T100000Z\r\n"
                                     "SUMMARY:Series\r\nLOCATION:Room 1\r\nRRULE:FREQ=WEEKLY\r\n");
    const std::string instance = Event("UID:abc\r\nRECURRENCE-ID:20130112T090000Z\r\nLOCATION:Room 2\r\n");
    for (bool instanceFirst : {true, false}) {
        SCOPED_TRACE(instanceFirst ? "instance first" : "master first");
        CICalendar calendar;
        ASSERT_TRUE(ReadText(calendar, Calendar(instanceFirst ? instance + master : master + instance)));
        ASSERT_EQ(calendar.events.count("r:abc20130112T090000Z"), 1u);
        const auto& linked = EventAt(calendar, "r:abc20130112T090000Z");
        const auto& series = EventAt(calendar, "u:abc");
        EXPECT_EQ(linked.master, &series);
        EXPECT_EQ(series.master, &series);
        EXPECT_FALSE(linked.IsMaster());
        // Values the instance lacks come from the master; its own stay.
        EXPECT_EQ(linked.summary, "Series");
        std::string location;
        EXPECT_TRUE(linked.LoadText("LOCATION", location));
        EXPECT_EQ(location, "Room 2");
        // Start from RECURRENCE-ID, the master's length kept.
        EXPECT_EQ(linked.start.ToText(), "20130112T090000Z");
        EXPECT_EQ(linked.end.ToText(), "20130112T100000Z");
        ASSERT_EQ(calendar.events.FindInstances("abc").size(), 1u);
        EXPECT_EQ(calendar.events.FindInstances("abc")[0], &linked);
        EXPECT_TRUE(calendar.events.FindInstances("other").empty());
        // The master's own text is not changed by the link.
        EXPECT_EQ(mivo::test::countOccurrences(WriteText(calendar), "SUMMARY:Series"), 1);
    }
}

TEST(CICalendarComponentDB, ReplacedMasterRelinksItsInstances)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar,
                         Calendar(Event("UID:abc\r\nDTSTART:20130105T090000Z\r\nSUMMARY:old\r\nRRULE:FREQ=DAILY\r\n") +
                                  Event("UID:abc\r\nRECURRENCE-ID:20130106T090000Z\r\n") +
                                  Event("UID:abc\r\nRECURRENCE-ID:20130106T090000Z\r\nSEQUENCE:1\r\n") +
                                  Event("UID:abc\r\nSEQUENCE:2\r\nDTSTART:20130105T090000Z\r\nSUMMARY:new\r\n"))));
    const auto& instance = EventAt(calendar, "r:abc20130106T090000Z");
    EXPECT_EQ(instance.master, &EventAt(calendar, "u:abc"));
    EXPECT_EQ(instance.summary, "new");
    EXPECT_EQ(instance.sequence, 1);
    // A replaced instance is listed once.
    EXPECT_EQ(calendar.events.FindInstances("abc").size(), 1u);
}

TEST(CICalendarComponentDB, ChangeRecording)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Calendar(Event("UID:abc\r\nSEQUENCE:4\r\nBEGIN:VALARM\r\nSEQUENCE:7\r\n"
                                                  "END:VALARM\r\n"))));
    EXPECT_FALSE(calendar.modified);
    auto& event = *calendar.events.at("u:abc");
    event.MarkChanged();
    event.MarkChanged();
    EXPECT_TRUE(calendar.modified);
    EXPECT_EQ(event.sequence, 6);
    ASSERT_EQ(calendar.changeRecords.count("u:abc"), 1u);
    EXPECT_EQ(calendar.changeRecords.at("u:abc").sequence, 5);  // the first record stays
    EXPECT_EQ(calendar.changeRecords.at("u:abc").action, 2);
    const std::string out = WriteText(calendar);
    EXPECT_NE(out.find("SEQUENCE:6\r\n"), std::string::npos);
    EXPECT_NE(out.find("LAST-MODIFIED:"), std::string::npos);
    EXPECT_NE(out.find("SEQUENCE:7\r\nEND:VALARM"), std::string::npos);  // alarms keep theirs
}

TEST(CICalendarComponentDB, ManyRevisionsOfOneSeriesStayLinked)
{
    std::string body;
    for (int i = 0; i < 200; ++i) {
        char rid[32];
        std::snprintf(rid, sizeof rid, "2013%02d%02dT090000Z", 1 + i % 12, 1 + i / 12);
        body += Event(std::string("UID:s\r\nRECURRENCE-ID:") + rid + "\r\n");
    }
    for (int i = 1; i <= 200; ++i)
        body += Event("UID:s\r\nSEQUENCE:" + std::to_string(i) + "\r\nSUMMARY:rev " + std::to_string(i) + "\r\n");
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Calendar(body)));
    const auto& master = EventAt(calendar, "u:s");
    EXPECT_EQ(master.sequence, 200);
    ASSERT_EQ(calendar.events.size(), 201u);
    for (const auto& entry : calendar.events) {
        const auto& event = static_cast<const CICalendarVEvent&>(*entry.second);
        EXPECT_EQ(event.master, &master) << entry.first;
        EXPECT_EQ(event.summary, "rev 200") << entry.first;
    }
    EXPECT_EQ(calendar.events.FindInstances("s").size(), 200u);
}
