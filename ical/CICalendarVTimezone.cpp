#include "ical/CICalendarVTimezone.h"

#include <algorithm>

#include "ical/CICalendarTextLine.h"
#include "ical/CICalendarVTimezoneElement.h"

namespace iCal {

CICalendarVTimezone::CICalendarVTimezone(int32_t calendarRef) : CICalendarComponent(calendarRef) {}
CICalendarVTimezone::~CICalendarVTimezone() = default;

std::unique_ptr<CICalendarComponent> CICalendarVTimezone::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVTimezone>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVTimezone::Clone() const
{
    return std::make_unique<CICalendarVTimezone>(*this);
}

const std::string& CICalendarVTimezone::BeginLine() const
{
    static const std::string line("BEGIN:VTIMEZONE");
    return line;
}

const std::string& CICalendarVTimezone::EndLine() const
{
    static const std::string line("END:VTIMEZONE");
    return line;
}

void CICalendarVTimezone::CompleteLoad()
{
    LoadText("TZID", tzid);
    // Only STANDARD and DAYLIGHT are ever embedded here (AddComponent).
    std::stable_sort(embedded.begin(), embedded.end(),
                     [](const std::unique_ptr<CICalendarComponent>& a, const std::unique_ptr<CICalendarComponent>& b) {
                         return CICalendarDateTime::CompareDateTime(
                                    static_cast<const CICalendarVTimezoneElement&>(*a).start,
                                    static_cast<const CICalendarVTimezoneElement&>(*b).start) < 0;
                     });
    CICalendarComponent::CompleteLoad();
}

bool CICalendarVTimezone::AddComponent(std::unique_ptr<CICalendarComponent>& component)
{
    if (!component || (component->Kind() != KIND_STANDARD && component->Kind() != KIND_DAYLIGHT) ||
        embedded.size() >= MAX_EMBEDDED_COMPONENTS)
        return false;
    Embed(component);
    return true;
}

CICalendarVTimezoneElement* CICalendarVTimezone::FindElement(const CICalendarDateTime& t)
{
    // All comparisons are between wall-clock times: the sub-components'
    // starts and onsets are floating, and so is this copy.
    CICalendarDateTime local(t);
    local.SetTzid(std::string());
    local.SetUtc(false);

    CICalendarVTimezoneElement* standard = nullptr;
    CICalendarVTimezoneElement* daylight = nullptr;
    for (auto& child : embedded) {
        auto* element = static_cast<CICalendarVTimezoneElement*>(child.get());
        if (CICalendarDateTime::CompareDateTime(element->start, local) >= 0)
            continue;
        if (element->Kind() == KIND_STANDARD)
            standard = element;
        else if (element->Kind() == KIND_DAYLIGHT)
            daylight = element;
    }

    CICalendarVTimezoneElement* answer = nullptr;
    CICalendarDateTime standardOnset;
    if (standard) {
        standardOnset = standard->FindOnset(local);
        if (CICalendarDateTime::CompareDateTime(standardOnset, local) <= 0)
            answer = standard;
    }
    if (daylight) {
        const CICalendarDateTime daylightOnset = daylight->FindOnset(local);
        // On equal onsets the STANDARD stays.
        if (CICalendarDateTime::CompareDateTime(daylightOnset, local) <= 0 &&
            (answer == nullptr || CICalendarDateTime::CompareDateTime(daylightOnset, standardOnset) > 0))
            answer = daylight;
    }
    return answer;
}

int32_t CICalendarVTimezone::OffsetAt(const CICalendarDateTime& t)
{
    const CICalendarVTimezoneElement* element = FindElement(t);
    return element ? element->offsetTo : 0;
}

}  // namespace iCal
