#ifndef ICAL_CICALENDARPERIOD_H
#define ICAL_CICALENDARPERIOD_H

#include <ostream>
#include <string>

#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarDuration.h"

namespace iCal {

// A span of time: a start with either an end or a duration (the PERIOD
// value of RFC 5545 section 3.3.9). `end` and `duration` are always kept
// consistent with `start`; `useDuration` only chooses the text form. A
// plain copyable value.
//   "20130105T090000Z/PT1H"              -> end 20130105T100000Z, written back as read
//   "20130105T090000Z/20130105T100000Z"  -> duration PT1H, written back as read
// As a span of expansion (CICalendarRecurrence::Expand) it includes its
// start and excludes its end.
class CICalendarPeriod {
public:
    CICalendarPeriod() = default;
    // duration = end minus start, useDuration false.
    CICalendarPeriod(const CICalendarDateTime& start, const CICalendarDateTime& end);
    // end = start plus duration, useDuration true.
    CICalendarPeriod(const CICalendarDateTime& start, const CICalendarDuration& duration);
    CICalendarPeriod(const CICalendarPeriod&) = default;
    CICalendarPeriod& operator=(const CICalendarPeriod&) = default;
    virtual ~CICalendarPeriod() = default;

    // Split at the first "/"; without one nothing changes. Never fails.
    void FromText(const std::string& text);
    std::string ToText() const;

    // start <= dateTime < end (by CICalendarDateTime::CompareDateTime).
    bool Contains(const CICalendarDateTime& dateTime) const;

    CICalendarDateTime start;
    CICalendarDateTime end;
    CICalendarDuration duration;  // end minus start
    bool useDuration = false;     // text form start/duration rather than start/end
};

std::ostream& operator<<(std::ostream& stream, const CICalendarPeriod& period);

}  // namespace iCal

#endif
