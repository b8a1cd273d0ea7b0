#include "ical/CICalendarVFreeBusy.h"

namespace iCal {

CICalendarVFreeBusy::CICalendarVFreeBusy(int32_t calendarRef) : CICalendarComponent(calendarRef) {}
CICalendarVFreeBusy::~CICalendarVFreeBusy() = default;

std::unique_ptr<CICalendarComponent> CICalendarVFreeBusy::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVFreeBusy>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVFreeBusy::Clone() const
{
    return std::make_unique<CICalendarVFreeBusy>(*this);
}

const std::string& CICalendarVFreeBusy::BeginLine() const
{
    static const std::string line("BEGIN:VFREEBUSY");
    return line;
}

const std::string& CICalendarVFreeBusy::EndLine() const
{
    static const std::string line("END:VFREEBUSY");
    return line;
}

void CICalendarVFreeBusy::CompleteLoad()
{
    CICalendarComponent::CompleteLoad();
    hasStart = LoadDateTime("DTSTART", start);
    CICalendarDuration duration;
    if (LoadDateTime("DTEND", end)) {
        hasEnd = true;
    } else if (LoadDuration("DURATION", duration)) {
        end = start.AddDuration(duration);
        durationGiven = true;
    } else {
        end = start;
    }
    // Unlike events, an end equal to the start is repaired too: DTSTART
    // 20130105T090000 alone gives end 20130106T000000; DTSTART 20130105
    // gives 20130106.
    if (hasStart && CICalendarDateTime::CompareDateTime(end, start) <= 0)
        EndOnNextDay(start, end, durationGiven);
}

}  // namespace iCal
