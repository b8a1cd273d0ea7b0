#ifndef ICAL_CICALENDARTIMEZONE_H
#define ICAL_CICALENDARTIMEZONE_H

#include <string>

#include "ical/CICalendarSharedString.h"

namespace iCal {

// The zone part of a date-time: UTC, a time-zone identifier (the TZID
// parameter of the property that held it), or neither ("floating": a
// wall-clock time that means the same local time everywhere, RFC 5545
// section 3.3.5, form #1). A plain copyable value with nothing virtual:
// every date-time holds one, and a calendar holds a hundred thousand
// date-times.
class CICalendarTimezone {
public:
    CICalendarTimezone() = default;
    CICalendarTimezone(bool utc, const std::string& tzid) : utc(utc), tzid(tzid) {}
    CICalendarTimezone(const CICalendarTimezone&) = default;
    CICalendarTimezone& operator=(const CICalendarTimezone&) = default;
    CICalendarTimezone(CICalendarTimezone&&) noexcept = default;
    CICalendarTimezone& operator=(CICalendarTimezone&&) noexcept = default;
    ~CICalendarTimezone() = default;

    // Neither UTC nor a TZID.
    bool IsFloating() const { return !utc && tzid.empty(); }

    // Two zones are equivalent when either is floating, or both are UTC, or
    // neither is UTC and their TZIDs are equal byte for byte. Equivalent
    // zones let two date-times be compared by their wall-clock fields.
    static bool Equivalent(const CICalendarTimezone& a, const CICalendarTimezone& b)
    {
        if (a.IsFloating() || b.IsFloating()) return true;
        if (a.utc || b.utc) return a.utc && b.utc;
        return a.tzid == b.tzid;
    }

    bool utc = false;              // the text form ends in "Z"
    CICalendarSharedString tzid;   // empty when none; ignored while utc is set. A calendar
                                   // repeats a handful of TZIDs in every date-time it holds.
};

}  // namespace iCal

#endif
