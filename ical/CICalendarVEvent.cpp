#include "ical/CICalendarVEvent.h"

#include "ical/CICalendarTextLine.h"

namespace iCal {

CICalendarVEvent::CICalendarVEvent(int32_t calendarRef) : CICalendarComponentRecur(calendarRef) {}
CICalendarVEvent::~CICalendarVEvent() = default;

std::unique_ptr<CICalendarComponent> CICalendarVEvent::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVEvent>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVEvent::Clone() const
{
    return std::make_unique<CICalendarVEvent>(*this);
}

const std::string& CICalendarVEvent::BeginLine() const
{
    static const std::string line("BEGIN:VEVENT");
    return line;
}

const std::string& CICalendarVEvent::EndLine() const
{
    static const std::string line("END:VEVENT");
    return line;
}

void CICalendarVEvent::CompleteLoad()
{
    CICalendarComponentRecur::CompleteLoad();
    // RFC 5545 section 3.8.1.11; other texts (other case, to-do statuses)
    // leave the status as it was.
    std::string text;
    if (LoadText("STATUS", text)) {
        if (text == "TENTATIVE")
            status = STATUS_TENTATIVE;
        else if (text == "CONFIRMED")
            status = STATUS_CONFIRMED;
        else if (text == "CANCELLED")
            status = STATUS_CANCELLED;
    }
}

bool CICalendarVEvent::AddComponent(std::unique_ptr<CICalendarComponent>& component)
{
    if (!component || component->Kind() != KIND_VALARM || embedded.size() >= MAX_EMBEDDED_COMPONENTS)
        return false;
    Embed(component);
    return true;
}

}  // namespace iCal
