#ifndef ICAL_CICALENDARDEFINITIONS_H
#define ICAL_CICALENDARDEFINITIONS_H

#include <cstdint>

namespace iCal {

// Weekdays, numbered the same way throughout the library (the recurrence
// day names "SU" ... "SA" map to the same numbers).
enum Weekday : int32_t {
    SUNDAY = 0,
    MONDAY = 1,
    TUESDAY = 2,
    WEDNESDAY = 3,
    THURSDAY = 4,
    FRIDAY = 5,
    SATURDAY = 6
};

// Recurrence frequencies (RFC 5545 section 3.3.10, FREQ), and at the same
// time the calendar units of CICalendarDateTime::StepBy. WEEKLY steps by
// seven days.
enum Frequency : int32_t {
    SECONDLY = 0,
    MINUTELY = 1,
    HOURLY = 2,
    DAILY = 3,
    WEEKLY = 4,
    MONTHLY = 5,
    YEARLY = 6
};

// Value type codes (RFC 5545 section 3.3). VALUE_GEO has no VALUE= name of
// its own; it is the type of the GEO property and is written as "FLOAT".
enum ValueTypeCode : int32_t {
    VALUE_BINARY = 0,
    VALUE_BOOLEAN = 1,
    VALUE_CAL_ADDRESS = 2,
    VALUE_DATE = 3,
    VALUE_DATE_TIME = 4,
    VALUE_DURATION = 5,
    VALUE_FLOAT = 6,
    VALUE_GEO = 7,
    VALUE_INTEGER = 8,
    VALUE_PERIOD = 9,
    VALUE_RECUR = 10,
    VALUE_TEXT = 11,
    VALUE_TIME = 12,
    VALUE_URI = 13,
    VALUE_UTC_OFFSET = 14
};

}  // namespace iCal

#endif
