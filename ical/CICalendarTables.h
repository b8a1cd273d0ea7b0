#ifndef ICAL_CICALENDARTABLES_H
#define ICAL_CICALENDARTABLES_H

#include <cstdint>

namespace iCal {

// The calendar tables every date computation of the library uses.
//
// Leap years: up to and including 1752 every year divisible by 4 is a leap
// year; after 1752 the Gregorian century rule applies (divisible by 4 and
// not by 100, or divisible by 400). So LeapYear(1700) is true,
// LeapYear(1900) false, LeapYear(2000) true, LeapYear(2100) false.
// Floor division and its non-negative remainder, for b > 0:
// FloorDiv(-1, 7) == -1 and FloorMod(-1, 7) == 6, where / and % give 0 and -1.
inline int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b) != 0 && a < 0) --q;
    return q;
}

inline int64_t FloorMod(int64_t a, int64_t b)
{
    return a - FloorDiv(a, b) * b;
}

bool LeapYear(int32_t year);

// 365 or 366.
int32_t DaysInYear(int32_t year);

// Days in a month: 31, 28/29, 31, 30, ... A month outside 1-12 is first
// brought into range with the year adjusted (month 13 of 2012 is January
// 2013, month 0 of 2013 is December 2012).
int32_t MonthLength(int32_t month, int32_t year);

// Days of the year before the 1st of the month: 0, 31, 59 (60 in a leap
// year), ... 334 (335). Month outside 1-12: as for MonthLength, counted in
// the year the month falls into.
int32_t DaysBeforeMonth(int32_t month, int32_t year);

// Day number of year-month-day, counted from 1970-01-01 (day 0), consistent
// with LeapYear for every year. Month and day may be out of range: they
// count on from the given year and month (day 0 is the last day of the
// month before). Range: |year| up to 10^8 keeps the result within
// +-3.7 * 10^10, far inside int64.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);

// The inverse of DaysFromCivil: year, month (1-12) and day (1-31).
void CivilFromDays(int64_t days, int64_t& year, int32_t& month, int32_t& day);

}  // namespace iCal

#endif
