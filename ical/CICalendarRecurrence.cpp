#include "ical/CICalendarRecurrence.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "ical/CICalendarTables.h"

namespace iCal {

namespace {

using DateTimeList = std::vector<CICalendarDateTime>;

const char* const kFrequencyNames[7] = {"SECONDLY", "MINUTELY", "HOURLY", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
const char* const kWeekdayNames[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

// Years beyond this end an expansion (CICalendarDateTime saturates there).
const int64_t kMaxYear = 100000000;

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsNoCase(const std::string& text, const char* name)
{
    size_t i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i >= text.size() || Upper(text[i]) != name[i]) return false;
    }
    return i == text.size();
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    for (size_t i = 0; prefix[i] != '\0'; ++i) {
        if (i >= text.size() || Upper(text[i]) != prefix[i]) return false;
    }
    return true;
}

// A signed decimal number at pos, read up to the first non-digit (no
// digits read 0). False when it overflows an int32; pos is then undefined.
bool ReadSigned(const std::string& text, size_t& pos, int32_t& value)
{
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int64_t n = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        n = n * 10 + (text[pos] - '0');
        if (n > std::numeric_limits<int32_t>::max()) return false;
        ++pos;
    }
    value = static_cast<int32_t>(negative ? -n : n);
    return true;
}

// COUNT and INTERVAL: at least 1; a number too large for an int32 is taken
// as the largest one.
int32_t ReadPositive(const std::string& text)
{
    size_t pos = 0;
    int32_t value = 0;
    if (!ReadSigned(text, pos, value)) {
        return (!text.empty() && text[0] == '-') ? 1 : std::numeric_limits<int32_t>::max();
    }
    return value < 1 ? 1 : value;
}

// "1,-2,3": the list ends at an overflowing number or at the first
// character after a number that is not a comma.
void ReadList(const std::string& text, std::vector<int32_t>& list)
{
    size_t pos = 0;
    for (;;) {
        int32_t value = 0;
        if (!ReadSigned(text, pos, value)) return;
        list.push_back(value);
        if (pos >= text.size() || text[pos] != ',') return;
        ++pos;
    }
}

int32_t WeekdayFromName(const std::string& text, size_t pos)
{
    if (pos + 2 > text.size()) return -1;
    const char a = Upper(text[pos]);
    const char b = Upper(text[pos + 1]);
    for (int32_t d = 0; d < 7; ++d) {
        if (kWeekdayNames[d][0] == a && kWeekdayNames[d][1] == b) return d;
    }
    return -1;
}

// "MO,-1SU,+2TU": an item whose two letters name no weekday ends the list.
void ReadByDay(const std::string& text, std::vector<CICalendarRecurrence::WeekdayNum>& list)
{
    size_t pos = 0;
    for (;;) {
        CICalendarRecurrence::WeekdayNum item;
        if (pos < text.size() && ((text[pos] >= '0' && text[pos] <= '9') || text[pos] == '+' || text[pos] == '-')) {
            if (!ReadSigned(text, pos, item.offset)) return;
        }
        item.weekday = WeekdayFromName(text, pos);
        if (item.weekday < 0) return;
        pos += 2;
        list.push_back(item);
        if (pos >= text.size() || text[pos] != ',') return;
        ++pos;
    }
}

void WriteList(std::ostream& stream, const char* keyword, const std::vector<int32_t>& list)
{
    if (list.empty()) return;
    stream << ';' << keyword;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i != 0) stream << ',';
        stream << list[i];
    }
}

int Compare(const CICalendarDateTime& a, const CICalendarDateTime& b)
{
    return CICalendarDateTime::CompareDateTime(a, b);
}

bool Before(const CICalendarDateTime& a, const CICalendarDateTime& b)
{
    return Compare(a, b) < 0;
}

bool Same(const CICalendarDateTime& a, const CICalendarDateTime& b)
{
    return Compare(a, b) == 0;
}

// Exactly the same start (fields, kind and zone): the cache key. Compare
// alone would take a DATE for a DATE-TIME of the same day.
bool SameStart(const CICalendarDateTime& a, const CICalendarDateTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hours == b.hours &&
           a.minutes == b.minutes && a.seconds == b.seconds && a.dateOnly == b.dateOnly &&
           a.zone.utc == b.zone.utc && a.zone.tzid == b.zone.tzid;
}

// A date that exists (RFC 5545 section 3.3.10: recurrence instances with
// an invalid date or time, such as February 30, are ignored).
bool IsValid(const CICalendarDateTime& dt)
{
    if (dt.month < 1 || dt.month > 12 || dt.day < 1 || dt.day > MonthLength(dt.month, dt.year)) return false;
    if (dt.dateOnly) return true;
    return dt.hours >= 0 && dt.hours <= 23 && dt.minutes >= 0 && dt.minutes <= 59 && dt.seconds >= 0 &&
           dt.seconds <= 59;
}

bool Contains(const std::vector<int32_t>& list, int32_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The limit tests of the date-level BYxxx parts; each holds when its list
// is empty.
bool MatchesMonth(const CICalendarRecurrence& rule, const CICalendarDateTime& m)
{
    return rule.byMonth.empty() || Contains(rule.byMonth, m.month);
}

// ISO 8601 week numbers with the rule's week start; a negative value counts
// back from the last week of the week's year.
bool MatchesWeekNo(const CICalendarRecurrence& rule, const CICalendarDateTime& m)
{
    if (rule.byWeekNo.empty()) return true;
    int32_t weekYear = 0;
    const int32_t week = m.WeekOfYear(rule.weekStart, &weekYear);
    const int32_t weeks = CICalendarDateTime::WeeksInYear(weekYear, rule.weekStart);
    for (int32_t v : rule.byWeekNo) {
        if (v == week || (v < 0 && weeks + v + 1 == week)) return true;
    }
    return false;
}

bool MatchesMonthDay(const CICalendarRecurrence& rule, const CICalendarDateTime& m)
{
    if (rule.byMonthDay.empty()) return true;
    const int32_t length = MonthLength(m.month, m.year);
    for (int32_t v : rule.byMonthDay) {
        if ((v > 0 && v == m.day) || (v < 0 && m.day - length == v + 1)) return true;
    }
    return false;
}

// An ordinal counts within the month, for every frequency.
bool MatchesDay(const CICalendarRecurrence& rule, const CICalendarDateTime& m)
{
    if (rule.byDay.empty()) return true;
    for (const auto& item : rule.byDay) {
        if (m.MatchesWeekdayInMonth(item.weekday, item.offset)) return true;
    }
    return false;
}

// Work accounting of one Expand call: one unit per period and per
// candidate made.
struct Budget {
    size_t work = 0;
    bool exhausted = false;

    bool Spend()
    {
        if (++work > CICalendarRecurrence::kMaxWork) exhausted = true;
        return !exhausted;
    }
};

// Builds the candidate set of one period from its anchor, step by step.
// Every step reads `set` and leaves its result in `set` (`next` is scratch).
class PeriodBuilder {
public:
    PeriodBuilder(const CICalendarRecurrence& rule, Budget& budget) : rule(rule), budget(budget) {}

    void Build(const CICalendarDateTime& anchor, DateTimeList& result);

private:
    template <typename Make>
    void ExpandEach(Make make)
    {
        next.clear();
        for (const CICalendarDateTime& member : set) {
            if (!make(member)) break;
        }
        set.swap(next);
    }

    bool Add(const CICalendarDateTime& candidate)
    {
        if (next.size() >= CICalendarRecurrence::kMaxPeriodCandidates) budget.exhausted = true;
        if (!budget.Spend()) return false;
        next.push_back(candidate);
        return true;
    }

    template <typename Keep>
    void LimitEach(Keep keep)
    {
        set.erase(std::remove_if(set.begin(), set.end(), [&](const CICalendarDateTime& m) { return !keep(m); }),
                  set.end());
    }

    void ExpandMonth();
    void ExpandWeekNo();
    void ExpandYearDay();
    void ExpandMonthDay();
    void ExpandDayYearly();
    void ExpandDayMonthly();
    void ExpandDayWeekly();
    void ExpandTime(const std::vector<int32_t>& list, int32_t CICalendarDateTime::*field, int32_t max);

    void LimitMonth();
    void LimitWeekNo();
    void LimitMonthDay();
    void LimitDay();
    void LimitTime(const std::vector<int32_t>& list, int32_t CICalendarDateTime::*field);
    void SelectSetPos();

    const CICalendarRecurrence& rule;
    Budget& budget;
    DateTimeList set;
    DateTimeList next;
};

void PeriodBuilder::ExpandMonth()
{
    if (rule.byMonth.empty()) return;
    ExpandEach([&](const CICalendarDateTime& m) {
        for (int32_t v : rule.byMonth) {
            if (v < 1 || v > 12) continue;  // no such month
            CICalendarDateTime c(m);
            c.month = v;  // not carried: a day the month lacks is dropped at the end
            c.InvalidateEpoch();
            if (!Add(c)) return false;
        }
        return true;
    });
}

void PeriodBuilder::ExpandWeekNo()
{
    if (rule.byWeekNo.empty()) return;
    ExpandEach([&](const CICalendarDateTime& m) {
        for (int32_t v : rule.byWeekNo) {
            CICalendarDateTime c(m);
            if (!c.MoveToWeekOfYear(v, rule.weekStart)) continue;
            if (!Add(c)) return false;
        }
        return true;
    });
}

void PeriodBuilder::ExpandYearDay()
{
    if (rule.byYearDay.empty()) return;
    ExpandEach([&](const CICalendarDateTime& m) {
        const int32_t length = DaysInYear(m.year);
        for (int32_t v : rule.byYearDay) {
            if (v > length || v < -length) continue;  // the year has no such day
            CICalendarDateTime c(m);
            c.MoveToYearDay(v);
            if (!Add(c)) return false;
        }
        return true;
    });
}

void PeriodBuilder::ExpandMonthDay()
{
    if (rule.byMonthDay.empty()) return;
    ExpandEach([&](const CICalendarDateTime& m) {
        const int32_t length = MonthLength(m.month, m.year);
        for (int32_t v : rule.byMonthDay) {
            if (v > length || v < -length) continue;  // the month has no such day
            CICalendarDateTime c(m);
            if (v > 0) {
                c.day = v;
            } else if (v < 0) {
                c.day = length + v + 1;  // -1 is the last day
            }
            c.InvalidateEpoch();
            if (!Add(c)) return false;
        }
        return true;
    });
}

void PeriodBuilder::ExpandDayYearly()
{
    ExpandEach([&](const CICalendarDateTime& m) {
        for (const auto& item : rule.byDay) {
            if (item.offset != 0) {
                CICalendarDateTime c(m);
                c.MoveToWeekdayInYear(item.offset, item.weekday);
                if (c.year != m.year) continue;  // beyond the year
                if (!Add(c)) return false;
                continue;
            }
            // Every such weekday of the year.
            CICalendarDateTime c(m);
            c.MoveToWeekdayInYear(1, item.weekday);
            while (c.year == m.year) {
                if (!Add(c)) return false;
                c.day += 7;
                if (c.day > MonthLength(c.month, c.year)) c.CarryFields();
                c.InvalidateEpoch();
            }
        }
        return true;
    });
}

void PeriodBuilder::ExpandDayMonthly()
{
    ExpandEach([&](const CICalendarDateTime& m) {
        for (const auto& item : rule.byDay) {
            CICalendarDateTime c(m);
            c.MoveToWeekdayInMonth(item.offset != 0 ? item.offset : 1, item.weekday);
            if (item.offset != 0) {
                if (c.month != m.month || c.year != m.year) continue;  // beyond the month
                if (!Add(c)) return false;
                continue;
            }
            // Every such weekday of the month.
            const int32_t length = MonthLength(c.month, c.year);
            while (c.day <= length) {
                if (!Add(c)) return false;
                c.day += 7;
                c.InvalidateEpoch();
            }
        }
        return true;
    });
}

void PeriodBuilder::ExpandDayWeekly()
{
    if (rule.byDay.empty()) return;
    ExpandEach([&](const CICalendarDateTime& m) {
        // The week that starts on weekStart and holds m.
        const int32_t back = ((m.WeekdayOf() - rule.weekStart) % 7 + 7) % 7;
        for (const auto& item : rule.byDay) {
            if (item.offset != 0) continue;  // an ordinal has no meaning within a week
            CICalendarDateTime c(m);
            c.day += -back + ((item.weekday - rule.weekStart) % 7 + 7) % 7;
            c.CarryFields();
            if (!Add(c)) return false;
        }
        return true;
    });
}

void PeriodBuilder::ExpandTime(const std::vector<int32_t>& list, int32_t CICalendarDateTime::*field, int32_t max)
{
    if (list.empty()) return;
    ExpandEach([&](const CICalendarDateTime& m) {
        for (int32_t v : list) {
            if (v < 0 || v > max) continue;  // no such hour, minute or second
            CICalendarDateTime c(m);
            c.*field = v;
            c.InvalidateEpoch();
            if (!Add(c)) return false;
        }
        return true;
    });
}

void PeriodBuilder::LimitMonth()
{
    if (rule.byMonth.empty()) return;
    LimitEach([&](const CICalendarDateTime& m) { return MatchesMonth(rule, m); });
}

void PeriodBuilder::LimitWeekNo()
{
    if (rule.byWeekNo.empty()) return;
    LimitEach([&](const CICalendarDateTime& m) { return MatchesWeekNo(rule, m); });
}

void PeriodBuilder::LimitMonthDay()
{
    if (rule.byMonthDay.empty()) return;
    LimitEach([&](const CICalendarDateTime& m) { return MatchesMonthDay(rule, m); });
}

void PeriodBuilder::LimitDay()
{
    if (rule.byDay.empty()) return;
    LimitEach([&](const CICalendarDateTime& m) { return MatchesDay(rule, m); });
}

void PeriodBuilder::LimitTime(const std::vector<int32_t>& list, int32_t CICalendarDateTime::*field)
{
    if (list.empty()) return;
    LimitEach([&](const CICalendarDateTime& m) { return Contains(list, m.*field); });
}

void PeriodBuilder::SelectSetPos()
{
    if (rule.bySetPos.empty()) return;
    const int64_t size = static_cast<int64_t>(set.size());
    next.clear();
    for (int32_t v : rule.bySetPos) {
        if (v > 0 && v <= size) {
            next.push_back(set[static_cast<size_t>(v - 1)]);
        } else if (v < 0 && -int64_t{v} <= size) {
            next.push_back(set[static_cast<size_t>(size + v)]);
        }
    }
    set.swap(next);
    std::stable_sort(set.begin(), set.end(), Before);
}

void PeriodBuilder::Build(const CICalendarDateTime& anchor, DateTimeList& result)
{
    set.clear();
    set.push_back(anchor);
    const bool dayLimits = !rule.byYearDay.empty() || !rule.byMonthDay.empty();
    switch (rule.frequency) {
    case YEARLY:
        ExpandMonth();
        ExpandWeekNo();
        ExpandYearDay();
        ExpandMonthDay();
        if (!rule.byDay.empty()) {
            if (dayLimits) {
                LimitDay();
            } else if (!rule.byWeekNo.empty()) {
                ExpandDayWeekly();
            } else if (rule.byMonth.empty()) {
                ExpandDayYearly();
            } else {
                ExpandDayMonthly();
            }
        }
        break;
    case MONTHLY:
        LimitMonth();
        ExpandMonthDay();
        if (!rule.byDay.empty()) {
            if (dayLimits) {
                LimitDay();
            } else {
                ExpandDayMonthly();
            }
        }
        break;
    case WEEKLY:
        LimitMonth();
        LimitWeekNo();
        ExpandDayWeekly();
        break;
    case DAILY:
    case HOURLY:
    case MINUTELY:
    case SECONDLY:
        LimitMonth();
        LimitWeekNo();
        LimitMonthDay();
        LimitDay();
        break;
    default:
        break;
    }
    // Time of day: expanded below the frequency, limited at and above it.
    if (rule.frequency >= DAILY) {
        ExpandTime(rule.byHour, &CICalendarDateTime::hours, 23);
    } else {
        LimitTime(rule.byHour, &CICalendarDateTime::hours);
    }
    if (rule.frequency >= HOURLY) {
        ExpandTime(rule.byMinute, &CICalendarDateTime::minutes, 59);
    } else {
        LimitTime(rule.byMinute, &CICalendarDateTime::minutes);
    }
    if (rule.frequency >= MINUTELY) {
        ExpandTime(rule.bySecond, &CICalendarDateTime::seconds, 59);
    } else {
        LimitTime(rule.bySecond, &CICalendarDateTime::seconds);
    }

    set.erase(std::remove_if(set.begin(), set.end(), [](const CICalendarDateTime& m) { return !IsValid(m); }),
              set.end());
    // The instances of a period form a set (RFC 5545 section 3.3.10): steps
    // that reach the same date-time twice (BYMONTH with BYYEARDAY or
    // BYWEEKNO, BYSETPOS naming a position twice) must not make COUNT count
    // it twice.
    std::stable_sort(set.begin(), set.end(), Before);
    set.erase(std::unique(set.begin(), set.end(), Same), set.end());
    SelectSetPos();
    set.erase(std::unique(set.begin(), set.end(), Same), set.end());
    result.swap(set);
}

}  // namespace

void CICalendarRecurrence::FromText(const std::string& text)
{
    *this = CICalendarRecurrence();

    std::vector<std::string> parts;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find(';', begin);
        std::string part = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        const size_t first = part.find_first_not_of(' ');
        parts.push_back(first == std::string::npos ? std::string() : part.substr(first));
        if (end == std::string::npos) break;
        begin = end + 1;
    }

    // RFC 5545 section 3.3.10 puts FREQ first; a rule without it is not read.
    if (parts[0].compare(0, 5, "FREQ=") != 0) return;
    const std::string name = parts[0].substr(5);
    int32_t freq = -1;
    for (int32_t f = 0; f < 7; ++f) {
        if (EqualsNoCase(name, kFrequencyNames[f])) freq = f;
    }
    if (freq < 0) return;
    frequency = freq;

    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        const size_t equals = part.find('=');
        const std::string value = equals == std::string::npos ? std::string() : part.substr(equals + 1);
        if (StartsWithNoCase(part, "UNTIL=")) {
            if (useCount) return;  // COUNT and UNTIL exclude each other
            useUntil = true;
            until.FromText(value);
        } else if (StartsWithNoCase(part, "COUNT=")) {
            if (useUntil) return;
            useCount = true;
            count = ReadPositive(value);
        } else if (StartsWithNoCase(part, "INTERVAL=")) {
            interval = ReadPositive(value);
        } else if (StartsWithNoCase(part, "BYSECOND=")) {
            if (!bySecond.empty()) return;
            ReadList(value, bySecond);
        } else if (StartsWithNoCase(part, "BYMINUTE=")) {
            if (!byMinute.empty()) return;
            ReadList(value, byMinute);
        } else if (StartsWithNoCase(part, "BYHOUR=")) {
            if (!byHour.empty()) return;
            ReadList(value, byHour);
        } else if (StartsWithNoCase(part, "BYDAY=")) {
            if (!byDay.empty()) return;
            ReadByDay(value, byDay);
        } else if (StartsWithNoCase(part, "BYMONTHDAY=")) {
            if (!byMonthDay.empty()) return;
            ReadList(value, byMonthDay);
        } else if (StartsWithNoCase(part, "BYYEARDAY=")) {
            if (!byYearDay.empty()) return;
            ReadList(value, byYearDay);
        } else if (StartsWithNoCase(part, "BYWEEKNO=")) {
            if (!byWeekNo.empty()) return;
            ReadList(value, byWeekNo);
        } else if (StartsWithNoCase(part, "BYMONTH=")) {
            if (!byMonth.empty()) return;
            ReadList(value, byMonth);
        } else if (StartsWithNoCase(part, "BYSETPOS=")) {
            if (!bySetPos.empty()) return;
            ReadList(value, bySetPos);
        } else if (StartsWithNoCase(part, "WKST=")) {
            int32_t day = -1;
            for (int32_t d = 0; d < 7; ++d) {
                if (EqualsNoCase(value, kWeekdayNames[d])) day = d;
            }
            if (day < 0) return;
            weekStart = day;
        } else {
            return;
        }
    }
}

void CICalendarRecurrence::ToText(std::ostream& stream) const
{
    stream << "FREQ=" << ((frequency >= 0 && frequency < 7) ? kFrequencyNames[frequency] : "YEARLY");
    if (useCount) {
        stream << ";COUNT=" << count;
    } else if (useUntil) {
        stream << ";UNTIL=" << until.ToText();
    }
    if (interval > 1) stream << ";INTERVAL=" << interval;
    WriteList(stream, "BYSECOND=", bySecond);
    WriteList(stream, "BYMINUTE=", byMinute);
    WriteList(stream, "BYHOUR=", byHour);
    if (!byDay.empty()) {
        stream << ";BYDAY=";
        for (size_t i = 0; i < byDay.size(); ++i) {
            if (i != 0) stream << ',';
            if (byDay[i].offset != 0) stream << byDay[i].offset;
            const int32_t wd = byDay[i].weekday;
            stream << ((wd >= 0 && wd < 7) ? kWeekdayNames[wd] : "SU");
        }
    }
    WriteList(stream, "BYMONTHDAY=", byMonthDay);
    WriteList(stream, "BYYEARDAY=", byYearDay);
    WriteList(stream, "BYWEEKNO=", byWeekNo);
    WriteList(stream, "BYMONTH=", byMonth);
    WriteList(stream, "BYSETPOS=", bySetPos);
    if (weekStart != MONDAY && weekStart >= 0 && weekStart < 7) stream << ";WKST=" << kWeekdayNames[weekStart];
}

std::string CICalendarRecurrence::ToText() const
{
    std::ostringstream stream;
    ToText(stream);
    return stream.str();
}

bool CICalendarRecurrence::IsSimple() const
{
    return bySecond.empty() && byMinute.empty() && byHour.empty() && byDay.empty() && byMonthDay.empty() &&
           byYearDay.empty() && byWeekNo.empty() && byMonth.empty() && bySetPos.empty();
}

void CICalendarRecurrence::ClearCache()
{
    cached = false;
    cacheComplete = false;
    cacheTruncated = false;
    cacheItems.clear();
}

bool CICalendarRecurrence::Expand(const CICalendarDateTime& start, const CICalendarPeriod& span,
                                  std::vector<CICalendarDateTime>& out)
{
    if (cached && !SameStart(cacheStart, start)) ClearCache();
    // A DATE end compares equal to every time of its day, so an end of the
    // other kind on the same day is not taken as covered.
    const int endOrder = cached ? Compare(cacheEnd, span.end) : -1;
    const bool covered =
        cached && (cacheComplete || endOrder > 0 || (endOrder == 0 && cacheEnd.dateOnly == span.end.dateOnly));
    if (!covered) {
        // Recomputed from the start up to the new end: COUNT counts from
        // the start, and a fresh list holds no occurrence twice.
        cacheItems.clear();
        cacheTruncated = false;
        const bool ended = IsSimple() ? ExpandSimple(start, span.end) : ExpandFull(start, span.end);
        cacheComplete = ended;
        cached = true;
        cacheStart = start;
        cacheEnd = span.end;
    }
    for (const CICalendarDateTime& item : cacheItems) {
        if (Compare(span.start, item) <= 0 && Compare(item, span.end) < 0) out.push_back(item);
    }
    return cacheTruncated;
}

bool CICalendarRecurrence::ExpandSimple(const CICalendarDateTime& start, const CICalendarDateTime& end)
{
    Budget budget;
    CICalendarDateTime t(start);
    int64_t periods = 0;
    int64_t found = 0;
    while (Compare(t, end) < 0) {
        // Only YEARLY steps can land on a day the year lacks (29 February);
        // such a year has no occurrence (RFC 5545 section 3.3.10).
        if (periods == 0 || IsValid(t)) {
            if (cacheItems.size() >= kMaxOccurrences) {
                cacheTruncated = true;
                return false;
            }
            cacheItems.push_back(t);
            ++found;
            if (useCount && found >= count) return true;
        }
        if (!budget.Spend()) {
            cacheTruncated = true;
            return false;
        }
        ++periods;
        if (frequency == YEARLY) {
            // Counted from the start, so 29 February comes back in leap
            // years instead of drifting to 1 March.
            const int64_t year = int64_t{start.year} + periods * interval;
            if (year > kMaxYear) return false;
            t.year = static_cast<int32_t>(year);
            t.InvalidateEpoch();
        } else {
            t.StepBy(frequency, interval);
            if (t.year >= kMaxYear) return false;
        }
        if (useUntil && !useCount && Compare(t, until) > 0) return true;
    }
    return false;
}

bool CICalendarRecurrence::ExpandFull(const CICalendarDateTime& start, const CICalendarDateTime& end)
{
    Budget budget;
    PeriodBuilder builder(*this, budget);
    DateTimeList candidates;

    // RFC 5545 counts DTSTART as the first occurrence.
    cacheItems.push_back(start);
    int64_t found = 1;
    if (useCount && count <= 1) return true;

    CICalendarDateTime t(start);
    t.CarryFields();
    const int32_t d0 = t.day;
    // Below DAILY, limits reject whole stretches of time: an anchor whose
    // date fails the date-level limits makes no candidate, and neither does
    // any later anchor of that day; the same holds for BYHOUR within an hour
    // (MINUTELY, SECONDLY) and BYMINUTE within a minute (SECONDLY). The loop
    // then jumps to the first anchor after the stretch, in the rule's own
    // rhythm, instead of visiting every anchor inside it. (A SECONDLY anchor
    // that BYSECOND rejects is only passed over without building its set.)
    const bool dateLimits = !byMonth.empty() || !byWeekNo.empty() || !byMonthDay.empty() || !byDay.empty();
    const bool hourLimit = frequency < HOURLY && !byHour.empty();
    const bool minuteLimit = frequency < MINUTELY && !byMinute.empty();
    const bool secondLimit = frequency == SECONDLY && !bySecond.empty();
    const bool skipRejected =
        frequency >= SECONDLY && frequency < DAILY && (dateLimits || hourLimit || minuteLimit || secondLimit);
    for (;;) {
        if (!budget.Spend()) {
            cacheTruncated = true;
            return false;
        }
        if (skipRejected) {
            // Seconds to the end of the rejected stretch: 1-86 400.
            int64_t rest = 0;
            if (!(MatchesMonth(*this, t) && MatchesWeekNo(*this, t) && MatchesMonthDay(*this, t) &&
                  MatchesDay(*this, t))) {
                rest = 86400 - (int64_t{t.hours} * 3600 + int64_t{t.minutes} * 60 + t.seconds);
            } else if (hourLimit && !Contains(byHour, t.hours)) {
                rest = 3600 - (int64_t{t.minutes} * 60 + t.seconds);
            } else if (minuteLimit && !Contains(byMinute, t.minutes)) {
                rest = 60 - int64_t{t.seconds};
            } else if (secondLimit && !Contains(bySecond, t.seconds)) {
                rest = 1;
            }
            if (rest > 0) {
                if (Compare(t, end) >= 0) return false;
                // One step of the rule is interval units of 1, 60 or 3 600
                // seconds; k = ceil(rest / step) steps reach past the
                // stretch. k * interval stays below 2 * 86 400 when a step is
                // shorter than the rest, and is 1 * interval otherwise.
                const int64_t unitSeconds = frequency == SECONDLY ? 1 : (frequency == MINUTELY ? 60 : 3600);
                const int64_t step = unitSeconds * interval;
                const int64_t steps = step >= rest ? 1 : (rest + step - 1) / step;
                t.StepBy(frequency, static_cast<int32_t>(steps * interval));
                if (t.year >= kMaxYear) return false;
                continue;
            }
        }
        builder.Build(t, candidates);
        for (const CICalendarDateTime& c : candidates) {
            if (Compare(c, start) < 0) continue;
            if (Compare(c, end) >= 0) return false;
            if (useUntil && Compare(c, until) > 0) return true;
            if (found == 1 && Compare(c, start) == 0) continue;  // the start, already listed
            if (cacheItems.size() >= kMaxOccurrences) {
                cacheTruncated = true;
                return false;
            }
            cacheItems.push_back(c);
            ++found;
            if (useCount && found >= count) return true;
        }
        if (budget.exhausted) {
            cacheTruncated = true;
            return false;
        }
        if (Compare(t, end) >= 0) return false;

        if (frequency == YEARLY) {
            // Each year's anchor is counted from the start: its month and
            // day stay those of the start (an anchor on 29 February of a
            // common year makes no candidate of its own).
            const int64_t year = int64_t{t.year} + interval;
            if (year > kMaxYear) return false;
            t.year = static_cast<int32_t>(year);
            t.day = d0;
            t.InvalidateEpoch();
        } else if (frequency == MONTHLY) {
            // The anchor keeps the start's day where the month has it and
            // otherwise sits on the month's last day.
            int64_t month = int64_t{t.month} + interval;
            int64_t year = t.year + (month - 1) / 12;
            month = (month - 1) % 12 + 1;
            if (year > kMaxYear) return false;
            t.year = static_cast<int32_t>(year);
            t.month = static_cast<int32_t>(month);
            t.day = std::min(d0, MonthLength(t.month, t.year));
            t.InvalidateEpoch();
        } else {
            t.StepBy(frequency, interval);
            if (t.year >= kMaxYear) return false;
        }
    }
}

std::ostream& operator<<(std::ostream& stream, const CICalendarRecurrence& recurrence)
{
    recurrence.ToText(stream);
    return stream;
}

}  // namespace iCal
