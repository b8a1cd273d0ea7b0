#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarTextLine.h"
#include "ical/CICalendarVAlarm.h"
#include "ical/CICalendarVEvent.h"
#include "ical/CICalendarVFreeBusy.h"
#include "ical/CICalendarVJournal.h"
#include "ical/CICalendarVToDo.h"
#include "ical/tests/IcalTestUtil.h"

using iCal::CICalendar;
using iCal::CICalendarVAlarm;
using namespace icaltest;

namespace {

// Reads one component (lines without BEGIN/END) of the given kind.
template <class T>
std::unique_ptr<T> Load(const std::string& lines)
{
    auto component = std::make_unique<T>(1);
    std::istringstream in(lines);
    std::string lookahead, line;
    while (iCal::ReadUnfoldedLine(in, lookahead, line)) {
        iCal::CICalendarProperty property;
        if (property.ReadLine(line))
            component->AddProperty(property);
        if (in.eof())
            break;
    }
    component->CompleteLoad();
    return component;
}

}  // namespace

TEST(CICalendarComponent, EventStartEndAndStatus)
{
    struct Case {
        const char* lines;
        const char* end;
        bool hasEnd;
        bool durationGiven;
        int32_t status;
    } cases[] = {
        {"DTSTART:20130105T100000\r\nDTEND:20130105T090000\r\n", "20130106T000000", true, false, 0},
        {"DTSTART:20130105\r\nDTEND:20130104\r\n", "20130106", true, true, 0},
        {"DTSTART:20130105T090000\r\nDURATION:PT1H\r\nSTATUS:CONFIRMED\r\n", "20130105T100000", false, true, 1},
        {"DTSTART:20130105T090000\r\nSTATUS:confirmed\r\n", "20130105T090000", false, false, 0},
        {"DTSTART:20130105T090000\r\nSTATUS:COMPLETED\r\n", "20130105T090000", false, false, 0},
        {"DTSTART:20130105T090000\r\nSTATUS:TENTATIVE\r\n", "20130105T090000", false, false, 2},
        {"STATUS:CANCELLED\r\n", "19700101T000000", false, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        auto event = Load<iCal::CICalendarVEvent>(c.lines);
        EXPECT_EQ(event->end.ToText(), c.end);
        EXPECT_EQ(event->hasEnd, c.hasEnd);
        EXPECT_EQ(event->durationGiven, c.durationGiven);
        EXPECT_EQ(event->Status(), c.status);
    }
}

TEST(CICalendarComponent, RecurrenceIdRangeAndPrivateTags)
{
    auto future = Load<iCal::CICalendarVEvent>("UID:u\r\nRECURRENCE-ID;RANGE=THISANDFUTURE:20130105T090000Z\r\n");
    EXPECT_TRUE(future->thisAndFuture);
    EXPECT_EQ(future->MapKey(), "r:u20130105T090000Z");
    EXPECT_EQ(future->MasterKey(), "u:u");
    auto lower = Load<iCal::CICalendarVEvent>("UID:u\r\nRECURRENCE-ID;RANGE=thisandfuture:20130105T090000Z\r\n");
    EXPECT_FALSE(lower->thisAndFuture);
    EXPECT_FALSE(lower->thisAndPrior);

    auto tagged = Load<iCal::CICalendarVEvent>(
        "UID:u\r\nSUMMARY:one\r\nSUMMARY:two\r\nX-RIZIDEDI-PRIVATE-RURL:r.ics\r\nX-RIZIDEDI-PRIVATE-ETAG:e\r\n"
        "DTSTART;VALUE=TEXT:tomorrow\r\nSEQUENCE:x\r\n");
    EXPECT_EQ(tagged->rurl, "r.ics");
    EXPECT_EQ(tagged->etag, "e");
    EXPECT_FALSE(tagged->HasProperty("X-RIZIDEDI-PRIVATE-RURL"));
    EXPECT_FALSE(tagged->HasProperty("X-RIZIDEDI-PRIVATE-ETAG"));
    EXPECT_EQ(tagged->summary, "one");
    EXPECT_EQ(tagged->properties.count("SUMMARY"), 2u);
    EXPECT_FALSE(tagged->hasStart);
    EXPECT_EQ(tagged->sequence, 0);
    int32_t number = 5;
    EXPECT_FALSE(tagged->LoadInteger("SEQUENCE", number, 11));
    EXPECT_EQ(number, 5);
}

TEST(CICalendarComponent, ToDoAndFreeBusyFields)
{
    auto todo = Load<iCal::CICalendarVToDo>("DTSTART:20130105T090000\r\nDURATION:PT2H\r\nPRIORITY:3\r\n"
                                            "STATUS:IN-PROCESS\r\nPERCENT-COMPLETE:40\r\n"
                                            "COMPLETED:20130106T000000Z\r\n");
    EXPECT_EQ(todo->end.ToText(), "20130105T110000");
    EXPECT_TRUE(todo->hasEnd);
    EXPECT_EQ(todo->priority, 3);
    EXPECT_EQ(todo->status, iCal::CICalendarVToDo::STATUS_IN_PROCESS);
    EXPECT_EQ(todo->percentComplete, 40);
    EXPECT_TRUE(todo->hasCompleted);
    auto due = Load<iCal::CICalendarVToDo>("DTSTART:20130105T090000\r\nDUE;VALUE=DATE:20130110\r\nPRIORITY:high\r\n");
    EXPECT_EQ(due->end.ToText(), "20130110");
    EXPECT_EQ(due->priority, 0);

    struct Case {
        const char* lines;
        const char* end;
        bool durationGiven;
    } cases[] = {
        {"DTSTART:20130105T090000\r\n", "20130106T000000", false},
        {"DTSTART;VALUE=DATE:20130105\r\n", "20130106", true},
        {"DTSTART:20130105T090000Z\r\nDURATION:PT1H\r\n", "20130105T100000Z", true},
        {"DTSTART:20130105T090000Z\r\nDTEND:20130105T090000Z\r\n", "20130106T000000Z", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        auto busy = Load<iCal::CICalendarVFreeBusy>(c.lines);
        EXPECT_EQ(busy->end.ToText(), c.end);
        EXPECT_EQ(busy->durationGiven, c.durationGiven);
    }
}

TEST(CICalendarComponent, AlarmFields)
{
    struct Case {
        const char* lines;
        int32_t actionKind;
        int32_t actionClass;  // kind code of the action object
        bool triggerAbsolute;
        const char* trigger;  // offset or absolute time as text
        bool onStart;
        int32_t status;
    } cases[] = {
        {"ACTION:DISPLAY\r\nTRIGGER;RELATED=END:-PT15M\r\n", 1, 1, false, "-PT15M", false, 0},
        {"TRIGGER:-PT15M\r\n", 1, 1, false, "-PT15M", true, 0},
        {"TRIGGER;RELATED=START:PT5M\r\n", 1, 1, false, "PT5M", true, 0},
        {"TRIGGER;RELATED=end:PT5M\r\n", 1, 1, false, "PT5M", true, 0},
        {"TRIGGER;VALUE=DATE-TIME:20130105T083000Z\r\n", 1, 1, true, "20130105T083000Z", true, 0},
        {"ACTION:PROCEDURE\r\nX-RIZIDEDI-ALARM-STATUS:COMPLETED\r\n", 3, 4, false, "PT1H", true, 1},
        {"ACTION:audio\r\nX-RIZIDEDI-ALARM-STATUS:DISABLED\r\n", 4, 4, false, "PT1H", true, 2},
        {"ACTION:AUDIO\r\nX-RIZIDEDI-ALARM-STATUS:whatever\r\n", 0, 0, false, "PT1H", true, 0},
        {"TRIGGER;VALUE=TEXT:soon\r\n", 1, 1, false, "PT1H", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        auto alarm = Load<CICalendarVAlarm>(c.lines);
        EXPECT_EQ(alarm->actionKind, c.actionKind);
        EXPECT_EQ(alarm->action->kind, c.actionClass);
        EXPECT_EQ(alarm->triggerAbsolute, c.triggerAbsolute);
        EXPECT_EQ(c.triggerAbsolute ? alarm->triggerAt.ToText() : alarm->triggerOffset.ToText(), c.trigger);
        EXPECT_EQ(alarm->triggerOnStart, c.onStart);
        EXPECT_EQ(alarm->alarmStatus, c.status);
    }

    auto email = Load<CICalendarVAlarm>(
        "ACTION:EMAIL\r\nSUMMARY:s\r\nDESCRIPTION:d\r\nATTENDEE:mailto:a@x\r\nATTENDEE;VALUE=TEXT:b@x\r\n"
        "ATTENDEE:mailto:c@x\r\nREPEAT:2\r\nDURATION:PT10M\r\nX-RIZIDEDI-LAST-TRIGGER:20130105T080000Z\r\n");
    auto& action = static_cast<CICalendarVAlarm::CICalendarVAlarmEmail&>(*email->action);
    EXPECT_EQ(action.summary, "s");
    EXPECT_EQ(action.description, "d");
    EXPECT_EQ(action.attendees, (std::vector<std::string>{"mailto:a@x", "mailto:c@x"}));
    EXPECT_EQ(email->repeatCount, 2);
    EXPECT_EQ(email->repeatInterval.ToText(), "PT10M");
    EXPECT_EQ(email->lastTrigger.ToText(), "20130105T080000Z");
    // A copy owns its own action.
    auto copy = email->Clone();
    email->action.reset();
    EXPECT_EQ(static_cast<CICalendarVAlarm&>(*copy).action->kind, 2);

    // The alarm's properties are written back unchanged, in name order.
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Calendar("BEGIN:VTODO\r\nUID:t\r\nBEGIN:VALARM\r\nTRIGGER;RELATED=END:-PT15M\r\n"
                                            "ACTION:AUDIO\r\nEND:VALARM\r\nEND:VTODO\r\n")));
    EXPECT_NE(WriteText(calendar).find("UID:t\r\nBEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER;RELATED=END:-PT15M\r\n"
                                       "END:VALARM\r\nEND:VTODO\r\n"),
              std::string::npos);
}

TEST(CICalendarComponent, GeneratedUidsAreUuidsAtADomain)
{
    iCal::CICalendarVEvent event(1);
    event.AssignUid("");
    const std::string first = event.uid;
    EXPECT_TRUE(std::regex_match(first, std::regex("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}@belvorine")))
        << first;
    EXPECT_EQ(event.MapKey(), "u:" + first);
    std::string uidProperty;
    EXPECT_TRUE(event.LoadText("UID", uidProperty));
    EXPECT_EQ(uidProperty, first);
    event.AssignUid("");
    EXPECT_NE(event.uid, first);  // same second, different counter
    EXPECT_EQ(event.properties.count("UID"), 1u);
    event.uidDomain = "mivo.example";
    event.AssignUid("");
    EXPECT_EQ(event.uid.substr(36), "@mivo.example");
    event.AssignUid("given");
    EXPECT_EQ(event.uid, "given");
}

TEST(CICalendarComponent, CopiesAndDuplicates)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("basic.ics")));
    auto& event = static_cast<iCal::CICalendarVEvent&>(*calendar.events.at("u:basic-1@example.com"));
    auto copy = event.Clone();
    auto& same = static_cast<iCal::CICalendarVEvent&>(*copy);
    EXPECT_EQ(same.uid, event.uid);
    EXPECT_EQ(same.status, 1);
    EXPECT_EQ(same.master, &same);
    ASSERT_EQ(same.embedded.size(), 1u);
    EXPECT_EQ(same.embedded[0]->embedder, &same);
    EXPECT_EQ(same.embedder, nullptr);
    EXPECT_EQ(same.rurl, event.rurl);

    same.MarkDuplicated();
    EXPECT_TRUE(same.uid.empty());
    EXPECT_TRUE(same.rurl.empty());
    EXPECT_FALSE(same.HasProperty("UID"));
    EXPECT_FALSE(same.HasProperty("DTSTAMP"));
    EXPECT_TRUE(same.changed);
    EXPECT_TRUE(event.HasProperty("UID"));

    std::set<std::string> tzids;
    auto zoned = Load<iCal::CICalendarVEvent>("DTSTART;TZID=Asia/Tokyo:20130105T090000\r\n"
                                              "DTEND;TZID=Asia/Tokyo;VALUE=DATE:20130106\r\n"
                                              "DUE:20130105T090000Z\r\nRDATE;TZID=Europe/Paris:20130105T090000\r\n"
                                              "X-TIME;TZID=Ignored:20130105T090000\r\n");
    zoned->CollectTzids(tzids);
    EXPECT_EQ(tzids, (std::set<std::string>{"Asia/Tokyo"}));
}

TEST(CICalendarComponent, StampAndLastModifiedAreCurrentUtc)
{
    auto event = Load<iCal::CICalendarVEvent>("DTSTAMP:19990101T000000Z\r\nDTSTAMP:19990102T000000Z\r\n");
    EXPECT_EQ(event->stamp.year, 1999);
    const int32_t year = iCal::CICalendarDateTime::CurrentUtc().year;
    event->StampNow();
    EXPECT_EQ(event->properties.count("DTSTAMP"), 1u);
    EXPECT_TRUE(event->hasStamp);
    EXPECT_TRUE(event->stamp.zone.utc);
    EXPECT_GE(event->stamp.year, year);
    event->TouchLastModified();
    ASSERT_EQ(event->properties.count("LAST-MODIFIED"), 1u);
    EXPECT_EQ(event->FindProperty("LAST-MODIFIED")->ContentLine().substr(0, 14), "LAST-MODIFIED:");
    EXPECT_EQ(event->FindProperty("LAST-MODIFIED")->ContentLine().back(), 'Z');
}
