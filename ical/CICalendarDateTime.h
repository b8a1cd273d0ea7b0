#ifndef ICAL_CICALENDARDATETIME_H
#define ICAL_CICALENDARDATETIME_H

#include <cstdint>
#include <ostream>
#include <string>

#include "ical/CICalendarDuration.h"
#include "ical/CICalendarTimezone.h"

namespace iCal {

// A calendar date, optionally with a time of day and a zone: the DATE and
// DATE-TIME values of RFC 5545 sections 3.3.4 and 3.3.5. A plain copyable
// value; not safe to share between threads because EpochSeconds writes its
// cache on reads.
//
// FIELDS AND NORMALISATION
// The fields are Gregorian wall-clock fields. Arithmetic (StepBy, the Move
// operations, direct assignment) may leave them out of range until
// CarryFields brings them back, the way a civil-time library normalises:
//   2013-01-32            -> 2013-02-01
//   2013-03-00            -> 2013-02-28   (day 0 is the last day before)
//   2012-13-05            -> 2013-01-05
//   2013-01-01 00:00:-1   -> 2012-12-31 23:59:59
// Comparisons read the fields as stored, so callers carry first.
//
// MONTH ENDS AND LEAP DAYS (StepBy)
//   2013-01-31 + 1 month  -> 2013-03-31  (February has no 31st: skipped)
//   2013-01-30 + 1 month  -> 2013-03-30
//   2013-01-28 + 1 month  -> 2013-02-28
//   2012-02-29 + 1 year   -> 2013-03-01  (carried)
// Stepping by months never lands on a day the month lacks; RFC 5545
// section 3.3.10 says such instances are ignored, and the recurrence engine
// relies on the skip.
//
// ZONES, DST GAPS AND OVERLAPS
// A date-time with a TZID is a local time in that zone; EpochSeconds asks
// ZoneOffset for the offset in effect at that wall-clock time. A local time
// inside a DST gap (02:30 on the night clocks go forward) gets the offset of
// the period that has already begun at that wall-clock time, i.e. the new
// offset; a time in the repeated hour of an overlap gets the offset before
// the change. AddDuration never consults a zone: adding P1D to 01:30 the
// day before a change gives 01:30 the next day, not 24 elapsed hours.
//
// EPOCH CACHE
// EpochSeconds caches its result for UTC and TZID date-times (the recurrence
// engine and the time-zone look-ups ask for it again and again); every
// operation of this class that changes a field clears the cache. Code that
// assigns a field directly must call InvalidateEpoch() afterwards.
class CICalendarDateTime {
public:
    // 1970-01-01 00:00:00, not date-only, floating.
    CICalendarDateTime() = default;
    // 1 January of `year`, date-only, floating.
    explicit CICalendarDateTime(int32_t year);
    // The fields as given (not carried), not date-only; the zone copied.
    CICalendarDateTime(int32_t year, int32_t month, int32_t day, int32_t hours, int32_t minutes,
                       int32_t seconds, const CICalendarTimezone& zone = CICalendarTimezone());
    CICalendarDateTime(const CICalendarDateTime&) = default;
    CICalendarDateTime& operator=(const CICalendarDateTime&) = default;
    CICalendarDateTime(CICalendarDateTime&&) noexcept = default;
    CICalendarDateTime& operator=(CICalendarDateTime&&) noexcept = default;
    virtual ~CICalendarDateTime() = default;

    // A date (date-only) from its fields, floating.
    static CICalendarDateTime Date(int32_t year, int32_t month, int32_t day);

    // Brings every field into range (see FIELDS AND NORMALISATION): seconds,
    // minutes and hours carry with floor division, a date-only value gets
    // 00:00:00, months carry into years, days into months. Intermediates are
    // 64-bit; the year is kept within +-10^8 (beyond that the arithmetic
    // saturates), so no input makes it overflow. Clears the cache.
    void CarryFields();

    // 0 = Sunday ... 6 = Saturday, exact for every year (Gregorian after
    // 1752, every fourth year a leap year up to 1752, as LeapYear).
    // 1970-01-01 -> 4, 2013-01-01 -> 2, 2100-03-01 -> 1, 2400-02-29 -> 2.
    // Fields are used as stored; out-of-range fields count on (2013-01-32 is
    // read as 2013-02-01).
    int32_t WeekdayOf() const;

    // Seconds since 1970-01-01 00:00:00 UTC. UTC: the fields as they stand;
    // TZID: the fields minus ZoneOffset(tzid, *this); floating: the fields
    // read as UTC (the library applies no default zone), so floating values
    // compare by their wall-clock fields. Cached for UTC and TZID values.
    int64_t EpochSeconds() const;

    // -1, 0, +1 as a is earlier than, equal to or later than b.
    // When either is date-only, only (year, month, day) count: a DATE equals
    // every DATE-TIME of the same day. Otherwise, when the zones are not
    // equivalent (CICalendarTimezone::Equivalent), the epoch seconds decide;
    // else the wall-clock fields. 20130105T090000Z equals the floating
    // 20130105T090000.
    static int CompareDateTime(const CICalendarDateTime& a, const CICalendarDateTime& b);

    // A copy moved by the duration's signed total seconds in wall-clock
    // fields, then carried: 2013-01-31T10:00 + P1D -> 2013-02-01T10:00.
    CICalendarDateTime AddDuration(const CICalendarDuration& duration) const;

    // This minus other. When neither is floating, the difference of their
    // epoch seconds; a floating operand is read in the other one's zone (two
    // floating operands both as UTC). 20130105T100000Z minus
    // 20130105T090000Z is PT1H.
    CICalendarDuration DifferenceFrom(const CICalendarDateTime& other) const;

    // Moves by a signed amount of one unit (Frequency: SECONDLY ... YEARLY,
    // WEEKLY = 7 days), then carries. Months: a month in which the day does
    // not exist is skipped by stepping once more by the same amount (see
    // MONTH ENDS above). An unknown unit changes nothing.
    void StepBy(int32_t unit, int32_t amount);

    // n > 0: day n of the year (1 January is day 1); n < 0: day -n counted
    // back from 31 December (-1 is 31 December); n = 0: no change. Carried,
    // so a day beyond the year spills into the next (day 366 of 2013 is
    // 2014-01-01); the recurrence engine drops such days.
    void MoveToYearDay(int32_t n);

    // Within the date's month: n > 0 the n-th such weekday (1 the first),
    // n < 0 the n-th from the end (-1 the last), n = 0 the 1st of the month.
    // Carried, so an n beyond the month spills over: the 5th Monday of
    // February 2013 is 2013-03-04. The time of day is kept.
    //   2013-10 last Sunday (-1, SUNDAY)  -> 2013-10-27
    //   2013-03 second Sunday (2, SUNDAY) -> 2013-03-10
    void MoveToWeekdayInMonth(int32_t n, int32_t weekday);

    // The same within the year: n > 0 counted from 1 January, n < 0 back
    // from 31 December. The 53rd Monday of 2013 is 2014-01-06 (spills).
    void MoveToWeekdayInYear(int32_t n, int32_t weekday);

    // False when the weekday differs; true when n = 0; otherwise whether the
    // date is the n-th (n < 0: n-th from the end) such weekday of its month.
    bool MatchesWeekdayInMonth(int32_t weekday, int32_t n) const;

    // Day of the year, 1 for 1 January (fields as stored, carried first).
    int32_t YearDay() const;

    // ISO 8601 week numbering with a chosen first day of the week (RFC 5545
    // section 3.3.10, BYWEEKNO and WKST): week 1 is the first week, starting
    // on weekStart, that holds at least four days of the year; the days
    // before it belong to the last week of the previous year, and the last
    // days of December may belong to week 1 of the next year.
    // With weekStart MONDAY: 2013-01-01 (Tuesday) -> week 1 of 2013;
    // 2012-12-31 (Monday) -> week 1 of 2013; 2010-01-03 (Sunday) -> week 53
    // of 2009. weekYear receives the year the week belongs to.
    int32_t WeekOfYear(int32_t weekStart, int32_t* weekYear = nullptr) const;

    // Number of weeks (52 or 53) of `year` in the numbering above.
    static int32_t WeeksInYear(int32_t year, int32_t weekStart);

    // Moves to the same weekday in week n of the date's year (n < 0 counts
    // back: -1 is the last week), in the numbering of WeekOfYear. Answers
    // false and changes nothing when the year has no such week. The result
    // may lie in the previous or next year (week 1 may start in December).
    bool MoveToWeekOfYear(int32_t n, int32_t weekStart);

    // Reads a DATE ("20130105") or DATE-TIME ("20130105T090000",
    // "20130105T090000Z") text. Shorter than 8 characters: no change. 8 to 14
    // characters, or no "T" ninth: a date (20130105T0900 reads as a DATE),
    // time fields left alone. Numbers stop at the first non-digit; leading
    // spaces of the year field are skipped (" 9990101" is how ToText writes
    // 0999-01-01). The TZID
    // is left unchanged (the property's TZID parameter sets it). No carrying
    // and no range check; never fails.
    void FromText(const std::string& text);
    // "20130105", "20130105T090000Z" (UTC) or "20130105T090000"; the year is
    // right-aligned in four columns (" 9990101" for 0999-01-01). The TZID is
    // never written into the text.
    std::string ToText() const;
    // The same text appended to `out` (the writer builds whole lines).
    void AppendText(std::string& out) const;

    // The present moment from the system clock, broken down as UTC.
    static CICalendarDateTime CurrentUtc();

    // Zone changes (each clears the cache).
    void SetZone(const CICalendarTimezone& newZone);
    void SetTzid(const std::string& newTzid);
    void SetUtc(bool newUtc);

    void InvalidateEpoch() { epochCached = false; }

    int32_t year = 1970;
    int32_t month = 1;     // 1-12 after carrying
    int32_t day = 1;       // 1-31 after carrying
    int32_t hours = 0;     // 0-23 after carrying
    int32_t minutes = 0;   // 0-59 after carrying
    int32_t seconds = 0;   // 0-59 after carrying
    bool dateOnly = false; // a DATE: time fields ignored and carried to 0
    CICalendarTimezone zone;
    mutable bool epochCached = false;  // epochValue is valid
    mutable int64_t epochValue = 0;    // seconds since 1970-01-01 00:00:00 UTC

private:
    // Carries the given (64-bit) fields into this date-time's fields.
    void Normalise(int64_t y, int64_t mo, int64_t d, int64_t h, int64_t mi, int64_t s);
};

// Writes ToText().
std::ostream& operator<<(std::ostream& stream, const CICalendarDateTime& dateTime);

}  // namespace iCal

#endif
