#ifndef ICAL_CICALENDARRECURRENCE_H
#define ICAL_CICALENDARRECURRENCE_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarDefinitions.h"
#include "ical/CICalendarPeriod.h"

namespace iCal {

// One recurrence rule (RFC 5545 section 3.3.10, the value of an RRULE or
// EXRULE), its text form and its expansion into occurrences. A plain
// copyable value; copying copies the expansion cache too. Not safe to share
// between threads: Expand writes the cache.
//
// EXPANSION
// Expand(start, span, out) lists the occurrences of the series that begins
// at `start` (the component's DTSTART) inside `span` (start included, end
// excluded). The first occurrence is always `start` itself, as RFC 5545
// counts DTSTART as the first instance. Examples, each from its DTSTART:
//   FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU   19961027T030000 -> last Sunday of
//                                        every October, 03:00
//   FREQ=MONTHLY;COUNT=3                 20130131 -> Jan 31, Mar 31, May 31
//                                        (months without a 31st are skipped)
//   FREQ=MONTHLY;BYMONTHDAY=-1;COUNT=3   20130131 -> Jan 31, Feb 28, Mar 31
//   FREQ=DAILY;UNTIL=20130103            20130105 -> Jan 5 only
// Days that a month or year lacks (BYMONTHDAY=31 in April, BYYEARDAY=366 in
// 2013, the fifth Monday of a month with four, February 30, 29 February of a
// common year for a YEARLY rule started on a leap day) are not occurrences
// (RFC 5545 section 3.3.10: invalid dates are ignored), and a date-time that
// one period reaches twice is one occurrence.
//
// ORDER OF THE BYxxx PARTS
// Each period (the year, month, week, day ... that holds the period's
// anchor) starts as the anchor alone and passes through the BYxxx parts:
// a part coarser than the frequency limits (keeps what matches), a finer one
// expands (makes one member per value). YEARLY: BYMONTH, BYWEEKNO, BYYEARDAY,
// BYMONTHDAY, BYDAY expand; BYDAY limits when BYYEARDAY or BYMONTHDAY is
// given, and expands within the week with BYWEEKNO, within the year without
// BYMONTH, else within the month. MONTHLY: BYMONTH limits, BYMONTHDAY
// expands, BYDAY as for YEARLY within the month. WEEKLY: BYMONTH and
// BYWEEKNO limit, BYDAY expands within the week that starts on weekStart.
// DAILY and finer: the date parts limit. BYHOUR, BYMINUTE and BYSECOND
// expand when the frequency is coarser than their unit, else limit. BYSETPOS picks from
// the sorted period last. BYWEEKNO numbers weeks as ISO 8601 does, with
// weekStart as the first day of the week, in both roles.
//
// LIMITS
// A rule that never ends, asked about a far span (FREQ=SECONDLY from 1970
// asked about 2030), or a huge BYxxx cross product, stops at
// kMaxOccurrences occurrences or kMaxWork units of work per Expand call
// (kMaxPeriodCandidates in one period) and answers with what it found so
// far. Real calendars stay far below: ten years of a daily rule are 3 653
// occurrences.
//
// CACHE
// The occurrences found are kept with the rule: asked again for the same
// start and a span that ends no later (or any span once the rule has
// ended), Expand answers from the cache; a span that ends later extends
// it; another start drops it. FromText drops it too.
class CICalendarRecurrence {
public:
    // One BYDAY item: offset 0 means every such weekday, otherwise the n-th
    // (negative: from the end) within the month or year.
    struct WeekdayNum {
        int32_t offset = 0;
        int32_t weekday = SUNDAY;
        bool operator==(const WeekdayNum& other) const
        {
            return offset == other.offset && weekday == other.weekday;
        }
    };

    static constexpr size_t kMaxOccurrences = 1000000;
    // One unit per period examined and per candidate made.
    static constexpr size_t kMaxWork = 5000000;
    // Candidates of one period (one year of a YEARLY rule, ...); a whole
    // year in minutes is 527 040.
    static constexpr size_t kMaxPeriodCandidates = 600000;

    CICalendarRecurrence() = default;
    CICalendarRecurrence(const CICalendarRecurrence&) = default;
    CICalendarRecurrence& operator=(const CICalendarRecurrence&) = default;
    CICalendarRecurrence(CICalendarRecurrence&&) noexcept = default;
    CICalendarRecurrence& operator=(CICalendarRecurrence&&) noexcept = default;
    virtual ~CICalendarRecurrence() = default;

    // Resets every field (cache included), then reads the RECUR text. The
    // first part must be "FREQ=" (upper case) and a frequency name (any
    // case), else the rule stays the default YEARLY rule with no limits.
    // Reading stops at the first part it does not accept and keeps the parts
    // read before it. COUNT and UNTIL exclude each other (the later one is
    // refused). COUNT and INTERVAL below 1 are taken as 1. Never fails.
    void FromText(const std::string& text);
    // "FREQ=..." then COUNT or UNTIL, INTERVAL (when > 1), BYSECOND,
    // BYMINUTE, BYHOUR, BYDAY, BYMONTHDAY, BYYEARDAY, BYWEEKNO, BYMONTH,
    // BYSETPOS, WKST (when not MO). FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU is
    // written FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3.
    void ToText(std::ostream& stream) const;
    std::string ToText() const;

    // Appends to `out` the occurrences in span, in the order found (sorted
    // within the rule's periods; not de-duplicated). Answers whether the
    // expansion was cut short by kMaxOccurrences or kMaxWork.
    bool Expand(const CICalendarDateTime& start, const CICalendarPeriod& span,
                std::vector<CICalendarDateTime>& out);

    // True when none of the nine BYxxx lists has an entry.
    bool IsSimple() const;
    // Drops the expansion cache.
    void ClearCache();

    int32_t frequency = YEARLY;
    bool useUntil = false;
    CICalendarDateTime until;
    bool useCount = false;
    int32_t count = 0;        // at least 1 when useCount
    int32_t interval = 1;     // at least 1
    std::vector<int32_t> bySecond;
    std::vector<int32_t> byMinute;
    std::vector<int32_t> byHour;
    std::vector<WeekdayNum> byDay;
    std::vector<int32_t> byMonthDay;
    std::vector<int32_t> byYearDay;
    std::vector<int32_t> byWeekNo;
    std::vector<int32_t> byMonth;
    std::vector<int32_t> bySetPos;
    int32_t weekStart = MONDAY;   // WKST

    // Expansion cache.
    bool cached = false;               // cacheItems holds the expansion from cacheStart to cacheEnd
    CICalendarDateTime cacheStart;     // the start it was computed for
    CICalendarDateTime cacheEnd;       // end of the span it covers
    bool cacheComplete = false;        // the rule ended (COUNT or UNTIL) inside that span
    bool cacheTruncated = false;       // the expansion stopped at a limit
    std::vector<CICalendarDateTime> cacheItems;  // in the order found

private:
    // Fills cacheItems from `start` up to (excluding) `end`; answers whether
    // the rule ended. Sets cacheTruncated when a limit stopped it.
    bool ExpandSimple(const CICalendarDateTime& start, const CICalendarDateTime& end);
    bool ExpandFull(const CICalendarDateTime& start, const CICalendarDateTime& end);
};

std::ostream& operator<<(std::ostream& stream, const CICalendarRecurrence& recurrence);

}  // namespace iCal

#endif
