#include "ical/CICalendarRecurrenceSet.h"

#include <algorithm>

namespace iCal {

namespace {

using DateTimeList = std::vector<CICalendarDateTime>;

bool Before(const CICalendarDateTime& a, const CICalendarDateTime& b)
{
    return CICalendarDateTime::CompareDateTime(a, b) < 0;
}

bool Same(const CICalendarDateTime& a, const CICalendarDateTime& b)
{
    return CICalendarDateTime::CompareDateTime(a, b) == 0;
}

// Rules, dates and period starts of one side of the set, sorted and
// de-duplicated. Answers whether a rule's expansion was cut short.
bool Collect(std::vector<CICalendarRecurrence>& rules, const DateTimeList& dates,
             const std::vector<CICalendarPeriod>& periods, const CICalendarDateTime& start,
             const CICalendarPeriod& span, DateTimeList& list)
{
    bool truncated = false;
    for (CICalendarRecurrence& rule : rules) truncated = rule.Expand(start, span, list) || truncated;
    for (const CICalendarDateTime& date : dates) {
        if (span.Contains(date)) list.push_back(date);
    }
    for (const CICalendarPeriod& period : periods) {
        // A period counts when it overlaps the span.
        if (CICalendarDateTime::CompareDateTime(period.end, span.start) > 0 &&
            CICalendarDateTime::CompareDateTime(period.start, span.end) < 0) {
            list.push_back(period.start);
        }
    }
    std::stable_sort(list.begin(), list.end(), Before);
    list.erase(std::unique(list.begin(), list.end(), Same), list.end());
    return truncated;
}

}  // namespace

bool CICalendarRecurrenceSet::IsEmpty() const
{
    return rrules.empty() && exrules.empty() && rdates.empty() && exdates.empty() && rperiods.empty() &&
           experiods.empty();
}

bool CICalendarRecurrenceSet::ExpandSet(const CICalendarDateTime& start, const CICalendarPeriod& span,
                                        std::vector<CICalendarDateTime>& out)
{
    DateTimeList include;
    if (span.Contains(start)) include.push_back(start);
    bool truncated = Collect(rrules, rdates, rperiods, start, span, include);

    DateTimeList exclude;
    truncated = Collect(exrules, exdates, experiods, start, span, exclude) || truncated;

    // Sorted set difference.
    size_t e = 0;
    for (const CICalendarDateTime& item : include) {
        while (e < exclude.size() && Before(exclude[e], item)) ++e;
        if (e < exclude.size() && Same(exclude[e], item)) continue;
        out.push_back(item);
    }
    return truncated;
}

}  // namespace iCal
