#include "ical/CICalendarDateTime.h"

#include <cstdio>
#include <ctime>

#include "ical/CICalendarDefinitions.h"
#include "ical/CICalendarTables.h"
#include "ical/CICalendarZoneOffset.h"

namespace iCal {

namespace {

// Years beyond this saturate, so that no arithmetic on the fields can
// overflow: 10^8 years are 3.7 * 10^10 days, 3.2 * 10^15 seconds.
const int64_t kMaxYear = 100000000;

int32_t ClampYear(int64_t year)
{
    if (year > kMaxYear) return static_cast<int32_t>(kMaxYear);
    if (year < -kMaxYear) return static_cast<int32_t>(-kMaxYear);
    return static_cast<int32_t>(year);
}

// A field read from the text: up to `length` decimal digits from `pos`,
// stopping at the first non-digit; no digits read 0.
int32_t ReadField(const std::string& text, size_t pos, size_t length)
{
    int32_t n = 0;
    for (size_t i = pos; i < pos + length && i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') break;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

// The year field: ToText right-aligns years below 1000 in four columns
// (" 999"), so leading spaces inside the field are skipped to read such a
// text back to the same year.
int32_t ReadYear(const std::string& text)
{
    size_t pos = 0;
    while (pos < 3 && pos < text.size() && text[pos] == ' ') ++pos;
    return ReadField(text, pos, 4 - pos);
}

// Day number of the stored fields (out-of-range fields count on).
int64_t DayNumber(const CICalendarDateTime& dt)
{
    return DaysFromCivil(dt.year, dt.month, dt.day);
}

int32_t WeekdayOfDay(int64_t days)
{
    return static_cast<int32_t>(FloorMod(days + THURSDAY, 7));  // 1970-01-01 was a Thursday
}

// First day (day number) of week 1 of `year`: the week starting on
// weekStart that holds 4 January, hence at least four days of the year
// (ISO 8601).
int64_t FirstWeekStart(int64_t year, int32_t weekStart)
{
    const int64_t jan4 = DaysFromCivil(year, 1, 4);
    return jan4 - FloorMod(WeekdayOfDay(jan4) - weekStart, 7);
}

}  // namespace

CICalendarDateTime::CICalendarDateTime(int32_t year) : year(year), dateOnly(true) {}

CICalendarDateTime::CICalendarDateTime(int32_t year, int32_t month, int32_t day, int32_t hours,
                                       int32_t minutes, int32_t seconds, const CICalendarTimezone& zone)
    : year(year), month(month), day(day), hours(hours), minutes(minutes), seconds(seconds), zone(zone)
{
}

CICalendarDateTime CICalendarDateTime::Date(int32_t year, int32_t month, int32_t day)
{
    CICalendarDateTime dt(year, month, day, 0, 0, 0);
    dt.dateOnly = true;
    return dt;
}

void CICalendarDateTime::Normalise(int64_t y, int64_t mo, int64_t d, int64_t h, int64_t mi, int64_t s)
{
    // Each step keeps its intermediate within a few times the input range;
    // inputs are at most int32 plus an int64 duration below 2^51.
    mi += FloorDiv(s, 60);
    s = FloorMod(s, 60);
    h += FloorDiv(mi, 60);
    mi = FloorMod(mi, 60);
    d += FloorDiv(h, 24);
    h = FloorMod(h, 24);
    if (dateOnly) h = mi = s = 0;
    y += FloorDiv(mo - 1, 12);
    mo = FloorMod(mo - 1, 12) + 1;
    if (y > kMaxYear || y < -kMaxYear) {
        y = ClampYear(y);
        d = 1;
    }
    if (d < 1 || d > MonthLength(static_cast<int32_t>(mo), static_cast<int32_t>(y))) {
        // Day counted on from the 1st of the month: d - 1 is at most
        // |2^51 / 86400| + 2^31, so the day number stays within 2^37.
        int64_t cy = 0;
        int32_t cm = 1;
        int32_t cd = 1;
        CivilFromDays(DaysFromCivil(y, mo, 1) + d - 1, cy, cm, cd);
        y = cy;
        mo = cm;
        d = cd;
        if (y > kMaxYear || y < -kMaxYear) {
            y = ClampYear(y);
            mo = 1;
            d = 1;
        }
    }
    year = static_cast<int32_t>(y);
    month = static_cast<int32_t>(mo);
    day = static_cast<int32_t>(d);
    hours = static_cast<int32_t>(h);
    minutes = static_cast<int32_t>(mi);
    seconds = static_cast<int32_t>(s);
    epochCached = false;
}

void CICalendarDateTime::CarryFields()
{
    Normalise(year, month, day, hours, minutes, seconds);
}

int32_t CICalendarDateTime::WeekdayOf() const
{
    return WeekdayOfDay(DayNumber(*this));
}

int64_t CICalendarDateTime::EpochSeconds() const
{
    if (epochCached && (zone.utc || !zone.tzid.empty())) return epochValue;
    const int64_t local = DayNumber(*this) * 86400 + int64_t{hours} * 3600 + int64_t{minutes} * 60 + seconds;
    int64_t offset = 0;
    if (!zone.utc && !zone.tzid.empty()) offset = ZoneOffset(zone.tzid, *this);
    epochValue = local - offset;
    epochCached = true;
    return epochValue;
}

int CICalendarDateTime::CompareDateTime(const CICalendarDateTime& a, const CICalendarDateTime& b)
{
    if (a.dateOnly || b.dateOnly) {
        if (a.year != b.year) return a.year < b.year ? -1 : 1;
        if (a.month != b.month) return a.month < b.month ? -1 : 1;
        if (a.day != b.day) return a.day < b.day ? -1 : 1;
        return 0;
    }
    if (!CICalendarTimezone::Equivalent(a.zone, b.zone)) {
        const int64_t ea = a.EpochSeconds();
        const int64_t eb = b.EpochSeconds();
        return ea < eb ? -1 : (ea > eb ? 1 : 0);
    }
    if (a.year != b.year) return a.year < b.year ? -1 : 1;
    if (a.month != b.month) return a.month < b.month ? -1 : 1;
    if (a.day != b.day) return a.day < b.day ? -1 : 1;
    if (a.hours != b.hours) return a.hours < b.hours ? -1 : 1;
    if (a.minutes != b.minutes) return a.minutes < b.minutes ? -1 : 1;
    if (a.seconds != b.seconds) return a.seconds < b.seconds ? -1 : 1;
    return 0;
}

CICalendarDateTime CICalendarDateTime::AddDuration(const CICalendarDuration& duration) const
{
    CICalendarDateTime result(*this);
    result.Normalise(year, month, day, hours, minutes, int64_t{seconds} + duration.TotalSeconds());
    return result;
}

CICalendarDuration CICalendarDateTime::DifferenceFrom(const CICalendarDateTime& other) const
{
    if (!zone.IsFloating() && !other.zone.IsFloating()) {
        return CICalendarDuration::Seconds(EpochSeconds() - other.EpochSeconds());
    }
    CICalendarDateTime a(*this);
    CICalendarDateTime b(other);
    if (!zone.IsFloating()) {
        b.SetZone(zone);
    } else if (!other.zone.IsFloating()) {
        a.SetZone(other.zone);
    } else {
        a.SetUtc(true);
        b.SetUtc(true);
    }
    return CICalendarDuration::Seconds(a.EpochSeconds() - b.EpochSeconds());
}

void CICalendarDateTime::StepBy(int32_t unit, int32_t amount)
{
    int64_t y = year;
    int64_t mo = month;
    int64_t d = day;
    int64_t h = hours;
    int64_t mi = minutes;
    int64_t s = seconds;
    switch (unit) {
    case SECONDLY: s += amount; break;
    case MINUTELY: mi += amount; break;
    case HOURLY: h += amount; break;
    case DAILY: d += amount; break;
    case WEEKLY: d += int64_t{7} * amount; break;
    case MONTHLY: {
        // Skip months that lack the day (31 January + 1 month = 31 March).
        // A day no month has (a field above 31 left by unchecked text)
        // would skip for ever: after 48 tries the day is carried instead.
        for (int tries = 0; tries < 48; ++tries) {
            mo += amount;
            y += FloorDiv(mo - 1, 12);
            mo = FloorMod(mo - 1, 12) + 1;
            if (y > kMaxYear || y < -kMaxYear) break;
            if (d <= MonthLength(static_cast<int32_t>(mo), static_cast<int32_t>(y))) break;
        }
        break;
    }
    case YEARLY: y += amount; break;
    default: return;
    }
    Normalise(y, mo, d, h, mi, s);
}

void CICalendarDateTime::MoveToYearDay(int32_t n)
{
    if (n > 0) {
        Normalise(year, 1, n, hours, minutes, seconds);
    } else if (n < 0) {
        Normalise(int64_t{year} + 1, 1, int64_t{n} + 1, hours, minutes, seconds);
    }
}

void CICalendarDateTime::MoveToWeekdayInMonth(int32_t n, int32_t weekday)
{
    int64_t target = 1;
    if (n > 0) {
        const int32_t w1 = WeekdayOfDay(DaysFromCivil(year, month, 1));
        target = 1 + FloorMod(int64_t{weekday} - w1, 7) + int64_t{7} * (int64_t{n} - 1);
    } else if (n < 0) {
        const int32_t length = MonthLength(month, year);
        const int32_t wL = WeekdayOfDay(DaysFromCivil(year, month, length));
        target = length - FloorMod(int64_t{wL} - weekday, 7) + int64_t{7} * (int64_t{n} + 1);
    }
    Normalise(year, month, target, hours, minutes, seconds);
}

void CICalendarDateTime::MoveToWeekdayInYear(int32_t n, int32_t weekday)
{
    int64_t target = 1;
    if (n > 0) {
        const int32_t w1 = WeekdayOfDay(DaysFromCivil(year, 1, 1));
        target = 1 + FloorMod(int64_t{weekday} - w1, 7) + int64_t{7} * (int64_t{n} - 1);
    } else if (n < 0) {
        const int32_t length = DaysInYear(year);
        const int32_t wL = WeekdayOfDay(DaysFromCivil(year, 12, 31));
        target = length - FloorMod(int64_t{wL} - weekday, 7) + int64_t{7} * (int64_t{n} + 1);
    }
    Normalise(year, 1, target, hours, minutes, seconds);
}

bool CICalendarDateTime::MatchesWeekdayInMonth(int32_t weekday, int32_t n) const
{
    if (WeekdayOf() != weekday) return false;
    if (n == 0) return true;
    CICalendarDateTime moved(*this);
    moved.MoveToWeekdayInMonth(n, weekday);
    return moved.year == year && moved.month == month && moved.day == day;
}

int32_t CICalendarDateTime::YearDay() const
{
    return static_cast<int32_t>(DayNumber(*this) - DaysFromCivil(year, 1, 1) + 1);
}

int32_t CICalendarDateTime::WeekOfYear(int32_t weekStart, int32_t* weekYear) const
{
    const int64_t days = DayNumber(*this);
    // The week's fourth day decides which year the week belongs to.
    const int64_t fourth = days - FloorMod(WeekdayOfDay(days) - weekStart, 7) + 3;
    int64_t y = year;
    if (fourth >= DaysFromCivil(y + 1, 1, 1)) {
        ++y;
    } else if (fourth < DaysFromCivil(y, 1, 1)) {
        --y;
    }
    if (weekYear != nullptr) *weekYear = static_cast<int32_t>(y);
    return static_cast<int32_t>((fourth - DaysFromCivil(y, 1, 1)) / 7 + 1);
}

int32_t CICalendarDateTime::WeeksInYear(int32_t year, int32_t weekStart)
{
    return static_cast<int32_t>((FirstWeekStart(int64_t{year} + 1, weekStart) - FirstWeekStart(year, weekStart)) / 7);
}

bool CICalendarDateTime::MoveToWeekOfYear(int32_t n, int32_t weekStart)
{
    const int32_t weeks = WeeksInYear(year, weekStart);
    int64_t week = n < 0 ? int64_t{weeks} + n + 1 : n;
    if (week < 1 || week > weeks) return false;
    const int64_t days = DayNumber(*this);
    const int64_t target =
        FirstWeekStart(year, weekStart) + 7 * (week - 1) + FloorMod(WeekdayOfDay(days) - weekStart, 7);
    int64_t y = 0;
    int32_t m = 1;
    int32_t d = 1;
    CivilFromDays(target, y, m, d);
    year = static_cast<int32_t>(y);
    month = m;
    day = d;
    epochCached = false;
    return true;
}

void CICalendarDateTime::FromText(const std::string& text)
{
    if (text.size() < 8) return;
    year = ReadYear(text);
    month = ReadField(text, 4, 2);
    day = ReadField(text, 6, 2);
    if (text.size() >= 15 && text[8] == 'T') {
        hours = ReadField(text, 9, 2);
        minutes = ReadField(text, 11, 2);
        seconds = ReadField(text, 13, 2);
        dateOnly = false;
        zone.utc = text.size() >= 16 && text[15] == 'Z';
    } else {
        dateOnly = true;
    }
    epochCached = false;
}

std::string CICalendarDateTime::ToText() const
{
    std::string text;
    AppendText(text);
    return text;
}

void CICalendarDateTime::AppendText(std::string& out) const
{
    // Fast path for the usual four-digit years and two-digit fields; it
    // writes exactly what the formats below write for them.
    if (year >= 1000 && year <= 9999 && month >= 0 && month <= 99 && day >= 0 && day <= 99 &&
        (dateOnly || (hours >= 0 && hours <= 99 && minutes >= 0 && minutes <= 99 && seconds >= 0 && seconds <= 99))) {
        char text[16];
        auto two = [](char* at, int32_t value) {
            at[0] = static_cast<char>('0' + value / 10);
            at[1] = static_cast<char>('0' + value % 10);
        };
        two(text, year / 100);
        two(text + 2, year % 100);
        two(text + 4, month);
        two(text + 6, day);
        std::size_t length = 8;
        if (!dateOnly) {
            text[8] = 'T';
            two(text + 9, hours);
            two(text + 11, minutes);
            two(text + 13, seconds);
            length = 15;
            if (zone.utc)
                text[length++] = 'Z';
        }
        out.append(text, length);
        return;
    }
    char buffer[96];
    if (dateOnly) {
        std::snprintf(buffer, sizeof buffer, "%4d%02d%02d", year, month, day);
    } else if (zone.utc) {
        std::snprintf(buffer, sizeof buffer, "%4d%02d%02dT%02d%02d%02dZ", year, month, day, hours, minutes, seconds);
    } else {
        std::snprintf(buffer, sizeof buffer, "%4d%02d%02dT%02d%02d%02d", year, month, day, hours, minutes, seconds);
    }
    out += buffer;
}

CICalendarDateTime CICalendarDateTime::CurrentUtc()
{
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    CICalendarDateTime result;
    result.zone.utc = true;
    result.Normalise(1970, 1, 1, 0, 0, now);
    return result;
}

void CICalendarDateTime::SetZone(const CICalendarTimezone& newZone)
{
    zone = newZone;
    epochCached = false;
}

void CICalendarDateTime::SetTzid(const std::string& newTzid)
{
    zone.tzid = newTzid;
    epochCached = false;
}

void CICalendarDateTime::SetUtc(bool newUtc)
{
    zone.utc = newUtc;
    epochCached = false;
}

std::ostream& operator<<(std::ostream& stream, const CICalendarDateTime& dateTime)
{
    return stream << dateTime.ToText();
}

}  // namespace iCal
