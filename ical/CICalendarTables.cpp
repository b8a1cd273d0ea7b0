#include "ical/CICalendarTables.h"

namespace iCal {

namespace {

const int32_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const int32_t kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// The last year of the old leap rule; from 1753 on the Gregorian rule holds.
const int64_t kLastOldRuleYear = 1752;

bool IsLeap(int64_t year)
{
    if (year <= kLastOldRuleYear) return FloorMod(year, 4) == 0;
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days from 1970-01-01 to 1 January of a Gregorian year (> 1752), by the
// era arithmetic of the proleptic Gregorian calendar (400-year eras of
// 146 097 days). Range: |result| <= 366 * |year - 1970|.
int64_t GregorianYearStart(int64_t year)
{
    const int64_t y = year - 1;  // January counts with the previous March-based year
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;                       // 0-399
    const int64_t doy = 306;                                 // 1 January, counted from 1 March
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;  // 0-146096
    return era * 146097 + doe - 719468;
}

// Days from 1970-01-01 to 1 January of any year, consistent with IsLeap.
int64_t YearStart(int64_t year)
{
    if (year > kLastOldRuleYear) return GregorianYearStart(year);
    // Count back from 1753 with the old rule: the years year..1752 have
    // 365 days each plus one for every multiple of 4 among them.
    const int64_t years = kLastOldRuleYear + 1 - year;
    const int64_t leaps = FloorDiv(kLastOldRuleYear, 4) - FloorDiv(year - 1, 4);
    return GregorianYearStart(kLastOldRuleYear + 1) - (years * 365 + leaps);
}

}  // namespace

bool LeapYear(int32_t year)
{
    return IsLeap(year);
}

int32_t DaysInYear(int32_t year)
{
    return IsLeap(year) ? 366 : 365;
}

int32_t MonthLength(int32_t month, int32_t year)
{
    int64_t y = year;
    int64_t m = month;
    if (m < 1 || m > 12) {
        y += FloorDiv(m - 1, 12);
        m = FloorMod(m - 1, 12) + 1;
    }
    if (m == 2 && IsLeap(y)) return 29;
    return kMonthDays[m - 1];
}

int32_t DaysBeforeMonth(int32_t month, int32_t year)
{
    int64_t y = year;
    int64_t m = month;
    if (m < 1 || m > 12) {
        y += FloorDiv(m - 1, 12);
        m = FloorMod(m - 1, 12) + 1;
    }
    return kDaysBefore[m - 1] + ((m > 2 && IsLeap(y)) ? 1 : 0);
}

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year += FloorDiv(month - 1, 12);
    month = FloorMod(month - 1, 12) + 1;
    return YearStart(year) + kDaysBefore[month - 1] + ((month > 2 && IsLeap(year)) ? 1 : 0) + day - 1;
}

void CivilFromDays(int64_t days, int64_t& year, int32_t& month, int32_t& day)
{
    // Estimate the year (average Gregorian year 365.2425 days), then correct
    // it; the estimate is off by at most a few years even far before 1753,
    // where the old rule makes years 365.25 days long.
    const int64_t oldRuleEnd = YearStart(kLastOldRuleYear + 1);
    int64_t y = days >= oldRuleEnd ? 1970 + FloorDiv(days * 400, 146097)
                                   : kLastOldRuleYear + 1 + FloorDiv((days - oldRuleEnd) * 4, 1461);
    while (YearStart(y) > days) --y;
    while (YearStart(y + 1) <= days) ++y;
    int64_t doy = days - YearStart(y);  // 0-365
    const bool leap = IsLeap(y);
    int32_t m = 12;
    while (m > 1 && kDaysBefore[m - 1] + ((m > 2 && leap) ? 1 : 0) > doy) --m;
    year = y;
    month = m;
    day = static_cast<int32_t>(doy - kDaysBefore[m - 1] - ((m > 2 && leap) ? 1 : 0) + 1);
}

}  // namespace iCal
