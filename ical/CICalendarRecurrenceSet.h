#ifndef ICAL_CICALENDARRECURRENCESET_H
#define ICAL_CICALENDARRECURRENCESET_H

#include <vector>

#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarPeriod.h"
#include "ical/CICalendarRecurrence.h"

namespace iCal {

// The recurrence of one component (RFC 5545 section 3.8.5): its RRULEs and
// RDATEs as inclusions, its EXRULEs and EXDATEs as exclusions. Owns copies
// of its rules; loading appends and never clears. Not safe to share between
// threads (the rules' caches are written while expanding).
//
//   DTSTART 20130101, RRULE FREQ=DAILY;COUNT=3, EXDATE 20130102
//     -> 20130101, 20130103
//   an RDATE equal to an RRULE occurrence is listed once.
class CICalendarRecurrenceSet {
public:
    CICalendarRecurrenceSet() = default;
    CICalendarRecurrenceSet(const CICalendarRecurrenceSet&) = default;
    CICalendarRecurrenceSet& operator=(const CICalendarRecurrenceSet&) = default;
    CICalendarRecurrenceSet(CICalendarRecurrenceSet&&) noexcept = default;
    CICalendarRecurrenceSet& operator=(CICalendarRecurrenceSet&&) noexcept = default;
    virtual ~CICalendarRecurrenceSet() = default;

    // All six lists empty.
    bool IsEmpty() const;

    // Appends to `out` the occurrences of the whole set in span (start
    // included, end excluded), sorted by CompareDateTime and without
    // duplicates: `start` itself when it lies in the span, the RRULE
    // occurrences, the RDATEs in the span and the starts of the RDATE
    // periods that overlap it, less every EXRULE occurrence, EXDATE and
    // EXDATE period start. Answers whether a rule's expansion was cut short
    // by its limits.
    bool ExpandSet(const CICalendarDateTime& start, const CICalendarPeriod& span,
                   std::vector<CICalendarDateTime>& out);

    std::vector<CICalendarRecurrence> rrules;
    std::vector<CICalendarRecurrence> exrules;
    std::vector<CICalendarDateTime> rdates;
    std::vector<CICalendarDateTime> exdates;
    std::vector<CICalendarPeriod> rperiods;
    std::vector<CICalendarPeriod> experiods;
};

}  // namespace iCal

#endif
