#include "ical/CICalendarPeriod.h"

namespace iCal {

CICalendarPeriod::CICalendarPeriod(const CICalendarDateTime& start, const CICalendarDateTime& end)
    : start(start), end(end), duration(end.DifferenceFrom(start))
{
}

CICalendarPeriod::CICalendarPeriod(const CICalendarDateTime& start, const CICalendarDuration& duration)
    : start(start), end(start.AddDuration(duration)), duration(duration), useDuration(true)
{
}

void CICalendarPeriod::FromText(const std::string& text)
{
    const size_t slash = text.find('/');
    if (slash == std::string::npos) return;
    start.FromText(text.substr(0, slash));
    const std::string rest = text.substr(slash + 1);
    if (!rest.empty() && rest[0] == 'P') {
        duration.FromText(rest);
        useDuration = true;
        end = start.AddDuration(duration);
    } else {
        end.FromText(rest);
        useDuration = false;
        duration = end.DifferenceFrom(start);
    }
}

std::string CICalendarPeriod::ToText() const
{
    return start.ToText() + "/" + (useDuration ? duration.ToText() : end.ToText());
}

bool CICalendarPeriod::Contains(const CICalendarDateTime& dateTime) const
{
    return CICalendarDateTime::CompareDateTime(start, dateTime) <= 0 &&
           CICalendarDateTime::CompareDateTime(dateTime, end) < 0;
}

std::ostream& operator<<(std::ostream& stream, const CICalendarPeriod& period)
{
    return stream << period.ToText();
}

}  // namespace iCal
