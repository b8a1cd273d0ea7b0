#include "ical/CICalendarVJournal.h"

namespace iCal {

CICalendarVJournal::CICalendarVJournal(int32_t calendarRef) : CICalendarComponentRecur(calendarRef) {}
CICalendarVJournal::~CICalendarVJournal() = default;

std::unique_ptr<CICalendarComponent> CICalendarVJournal::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVJournal>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVJournal::Clone() const
{
    return std::make_unique<CICalendarVJournal>(*this);
}

const std::string& CICalendarVJournal::BeginLine() const
{
    static const std::string line("BEGIN:VJOURNAL");
    return line;
}

const std::string& CICalendarVJournal::EndLine() const
{
    static const std::string line("END:VJOURNAL");
    return line;
}

}  // namespace iCal
