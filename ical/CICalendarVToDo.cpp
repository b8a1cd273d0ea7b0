#include "ical/CICalendarVToDo.h"

#include "ical/CICalendarTextLine.h"

#include "ical/CICalendarDefinitions.h"

namespace iCal {

CICalendarVToDo::CICalendarVToDo(int32_t calendarRef) : CICalendarComponentRecur(calendarRef) {}
CICalendarVToDo::~CICalendarVToDo() = default;

std::unique_ptr<CICalendarComponent> CICalendarVToDo::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVToDo>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVToDo::Clone() const
{
    return std::make_unique<CICalendarVToDo>(*this);
}

const std::string& CICalendarVToDo::BeginLine() const
{
    static const std::string line("BEGIN:VTODO");
    return line;
}

const std::string& CICalendarVToDo::EndLine() const
{
    static const std::string line("END:VTODO");
    return line;
}

void CICalendarVToDo::CompleteLoad()
{
    CICalendarComponentRecur::CompleteLoad();
    // The due date (RFC 5545 section 3.8.2.3) lives in end/hasEnd.
    CICalendarDuration duration;
    if (LoadDateTime("DUE", end)) {
        hasEnd = true;
    } else if (LoadDuration("DURATION", duration)) {
        end = start.AddDuration(duration);
        hasEnd = true;
    } else {
        hasEnd = false;
    }
    LoadInteger("PRIORITY", priority, VALUE_INTEGER);
    std::string text;
    if (LoadText("STATUS", text)) {
        if (text == "NEEDS-ACTION")
            status = STATUS_NEEDS_ACTION;
        else if (text == "COMPLETED")
            status = STATUS_COMPLETED;
        else if (text == "IN-PROCESS")
            status = STATUS_IN_PROCESS;
        else if (text == "CANCELLED")
            status = STATUS_CANCELLED;
    }
    LoadInteger("PERCENT-COMPLETE", percentComplete, VALUE_INTEGER);
    hasCompleted = LoadDateTime("COMPLETED", completed);
}

bool CICalendarVToDo::AddComponent(std::unique_ptr<CICalendarComponent>& component)
{
    if (!component || component->Kind() != KIND_VALARM || embedded.size() >= MAX_EMBEDDED_COMPONENTS)
        return false;
    Embed(component);
    return true;
}

}  // namespace iCal
