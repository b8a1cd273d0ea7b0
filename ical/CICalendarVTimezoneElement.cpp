#include "ical/CICalendarVTimezoneElement.h"

#include <algorithm>

#include "ical/CICalendarDefinitions.h"
#include "ical/CICalendarPeriod.h"

namespace iCal {

CICalendarVTimezoneElement::CICalendarVTimezoneElement(int32_t calendarRef) : CICalendarVTimezone(calendarRef) {}

CICalendarVTimezoneElement::CICalendarVTimezoneElement(const CICalendarVTimezoneElement& other)
    : CICalendarVTimezone(other),
      start(other.start),
      offsetTo(other.offsetTo),
      zoneName(other.zoneName),
      recurrences(other.recurrences),
      onsetsEnd(other.start)
{
}

CICalendarVTimezoneElement::~CICalendarVTimezoneElement() = default;

void CICalendarVTimezoneElement::CompleteLoad()
{
    LoadDateTime("DTSTART", start);
    // The start is a local time (RFC 5545 section 3.6.5: DTSTART of STANDARD
    // and DAYLIGHT is always floating). A zone written on it anyway is
    // dropped, so that comparing onsets never asks for a zone offset again.
    start.SetTzid(std::string());
    start.SetUtc(false);
    onsetsEnd = start;
    LoadInteger("TZOFFSETTO", offsetTo, VALUE_UTC_OFFSET);
    LoadText("TZNAME", zoneName);
    LoadRules("RRULE", recurrences, true);
    LoadDates("RDATE", recurrences, true);
    for (CICalendarDateTime& onset : recurrences.rdates) {
        onset.SetTzid(std::string());
        onset.SetUtc(false);
    }
    CICalendarComponent::CompleteLoad();
}

bool CICalendarVTimezoneElement::AddComponent(std::unique_ptr<CICalendarComponent>&)
{
    return false;
}

CICalendarDateTime CICalendarVTimezoneElement::FindOnset(const CICalendarDateTime& t)
{
    if (recurrences.IsEmpty() || CICalendarDateTime::CompareDateTime(t, start) <= 0)
        return start;
    // Expand to 1 January of the year after t; the recurrence engine stops a
    // runaway rule (FREQ=SECONDLY) at its occurrence limit.
    CICalendarDateTime horizon(t.year + 1, 1, 1, 0, 0, 0);
    horizon.CarryFields();
    if (CICalendarDateTime::CompareDateTime(horizon, onsetsEnd) > 0) {
        onsets.clear();
        const bool cutShort = recurrences.ExpandSet(start, CICalendarPeriod(start, horizon), onsets);
        if (onsets.size() > MAX_ONSETS) {
            // Only a rule no zone uses (FREQ=SECONDLY, say) gets here; the
            // list is kept small because the time-zone database keeps it for
            // the life of the process.
            onsets.resize(MAX_ONSETS);
            onsets.shrink_to_fit();
        }
        if (cutShort || onsets.size() == MAX_ONSETS) {
            // Cut short: a later horizon would give the same list again, so
            // it counts as complete for all time.
            onsetsEnd = CICalendarDateTime(9999, 12, 31, 23, 59, 59);
        } else {
            onsetsEnd = horizon;
        }
        // The onset list is this element's cache; the rules' own caches would
        // only hold the same occurrences a second time.
        for (CICalendarRecurrence& rule : recurrences.rrules)
            rule.ClearCache();
    }
    auto it = std::lower_bound(onsets.begin(), onsets.end(), t,
                               [](const CICalendarDateTime& a, const CICalendarDateTime& b) {
                                   return CICalendarDateTime::CompareDateTime(a, b) < 0;
                               });
    if (it != onsets.begin())
        return *(it - 1);
    return start;
}

CICalendarVTimezoneStandard::~CICalendarVTimezoneStandard() = default;

std::unique_ptr<CICalendarComponent> CICalendarVTimezoneStandard::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVTimezoneStandard>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVTimezoneStandard::Clone() const
{
    return std::make_unique<CICalendarVTimezoneStandard>(*this);
}

const std::string& CICalendarVTimezoneStandard::BeginLine() const
{
    static const std::string line("BEGIN:STANDARD");
    return line;
}

const std::string& CICalendarVTimezoneStandard::EndLine() const
{
    static const std::string line("END:STANDARD");
    return line;
}

CICalendarVTimezoneDaylight::~CICalendarVTimezoneDaylight() = default;

std::unique_ptr<CICalendarComponent> CICalendarVTimezoneDaylight::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVTimezoneDaylight>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVTimezoneDaylight::Clone() const
{
    return std::make_unique<CICalendarVTimezoneDaylight>(*this);
}

const std::string& CICalendarVTimezoneDaylight::BeginLine() const
{
    static const std::string line("BEGIN:DAYLIGHT");
    return line;
}

const std::string& CICalendarVTimezoneDaylight::EndLine() const
{
    static const std::string line("END:DAYLIGHT");
    return line;
}

}  // namespace iCal
