#ifndef ICAL_CICALENDAR_H
#define ICAL_CICALENDAR_H

#include <cstdint>
#include <istream>
#include <map>
#include <ostream>
#include <string>

#include "ical/CICalendarComponentBase.h"
#include "ical/CICalendarComponentDB.h"
#include "ical/CICalendarComponentRecord.h"

namespace iCal {

class CICalendarComponent;
class CICalendarDateTime;

// One iCalendar object (RFC 5545 section 3.4): calendar-level properties, a
// database per top-level component kind, and a record of changed components.
// Owns every component in its databases. Every living calendar is listed in
// a process-wide registry under its reference number, through which its
// components find it. The library is used by one thread at a time; the
// registry, the reference counter and the time-zone database are not locked.
class CICalendar : public CICalendarComponentBase {
public:
    // The product identifier every calendar written by this system carries.
    static const char* const PRODUCT_ID;  // "-//mivo.example//Mivo//EN"

    // Takes the next reference number, enters the registry, and adds PRODID,
    // VERSION "2.0" and CALSCALE "GREGORIAN". The process-wide time-zone
    // database is created first when it does not exist yet, so it holds
    // reference number 1 and the first other calendar 2.
    CICalendar();
    CICalendar(const CICalendar&) = delete;
    CICalendar& operator=(const CICalendar&) = delete;
    // Destroys the components (events, to-dos, journals, free/busy, time
    // zones) and leaves the registry.
    ~CICalendar() override;

    // Adds what the text holds, from the stream's position to its end (every
    // VCALENDAR object in it). True when a "BEGIN:VCALENDAR" line was seen
    // and no calendar-level VERSION other than "2.0" or CALSCALE other than
    // "GREGORIAN" was met; false then ends reading at once. Lines that cannot
    // be read are dropped; unknown components become properties. At the end
    // the calendar's VTIMEZONEs are published to the time-zone database.
    // Requires: the stream does not throw on eofbit or failbit (the default);
    // the end of the text is found through them.
    bool Read(std::istream& stream);
    // Writes the whole calendar (copies of the time zones it uses but lacks
    // are added first, from the time-zone database). Answers whether the
    // stream is still good.
    bool Write(std::ostream& stream, bool forCache) override;
    // Writes a calendar holding only `component`, the time zones it uses and,
    // for a recurring component, its overriding instances. Borrowed.
    virtual bool WriteSingle(std::ostream& stream, CICalendarComponent& component);
    // X-WR-CALNAME and X-WR-CALDESC into name and description.
    void CompleteLoad() override;
    void IncludeTimezones();
    void PublishTimezones();

    // The database for a kind code: 1 todos, 2 journals, 3 freeBusys,
    // 4 timezones, anything else events.
    CICalendarComponentDB& DatabaseFor(int32_t kind);
    // Records a change of `component` (called by its MarkChanged).
    void RecordChange(const CICalendarComponent& component);

    // The calendar with that reference number, or nullptr. Borrowed.
    static CICalendar* FindCalendar(int32_t ref);
    // The process-wide time-zone database (reference number 1). Its
    // `timezones` collect the first definition of every TZID read by any
    // calendar in this process.
    static CICalendar& TimezoneDatabase();
    // Seconds east of UTC in force at the local time dateTime in the zone
    // tzid of the time-zone database; 0 for an unknown TZID or a time before
    // every sub-component.
    static int32_t ZoneOffset(const std::string& tzid, const CICalendarDateTime& dateTime);

    int32_t calendarRef;
    bool modified = false;
    std::string name;
    std::string description;
    CICalendarComponentDB events;
    CICalendarComponentDB todos;
    CICalendarComponentDB journals;
    CICalendarComponentDB freeBusys;
    CICalendarComponentDB timezones;
    std::map<std::string, CICalendarComponentRecord> changeRecords;

private:
    struct DatabaseTag {};
    explicit CICalendar(DatabaseTag);
    void Initialise();
    // Writes `out` to the stream when it has grown large, to bound memory.
    static void Flush(std::ostream& stream, std::string& out, bool force);
};

}  // namespace iCal

#endif
