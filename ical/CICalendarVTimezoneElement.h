#ifndef ICAL_CICALENDARVTIMEZONEELEMENT_H
#define ICAL_CICALENDARVTIMEZONEELEMENT_H

#include <vector>

#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarRecurrenceSet.h"
#include "ical/CICalendarVTimezone.h"

namespace iCal {

// The common part of STANDARD and DAYLIGHT: a start (floating local time),
// the offset in force from each onset, and the rules of later onsets.
// Owned by its VTIMEZONE. Never created itself.
class CICalendarVTimezoneElement : public CICalendarVTimezone {
public:
    explicit CICalendarVTimezoneElement(int32_t calendarRef);
    // Copies start, offsetTo, zoneName and recurrences; the onset list of
    // the copy starts empty.
    CICalendarVTimezoneElement(const CICalendarVTimezoneElement& other);
    ~CICalendarVTimezoneElement() override;

    // DTSTART, TZOFFSETTO, TZNAME, RRULE and RDATE, then the common fields.
    void CompleteLoad() override;
    // Sub-components nest nothing.
    bool AddComponent(std::unique_ptr<CICalendarComponent>& component) override;

    // The onset in force at local time t: the latest onset strictly before
    // t, or `start` when t is not after start or there are no rules.
    // Onsets are expanded up to 1 January of the year after t and kept;
    // the list only grows, so asking about 2013 and then 1999 expands once.
    // The expansion obeys the recurrence engine's limit on occurrences.
    CICalendarDateTime FindOnset(const CICalendarDateTime& t);

    // Onsets kept per sub-component: 50,000 years of two transitions a year.
    // A rule that yields more (only a sub-daily one can) keeps its first
    // MAX_ONSETS and is not expanded again.
    static constexpr std::size_t MAX_ONSETS = 100000;

    CICalendarDateTime start;
    int32_t offsetTo = 0;  // seconds east of UTC
    std::string zoneName;
    CICalendarRecurrenceSet recurrences;
    // How far `onsets` has been computed; 9999-12-31 once an expansion was
    // cut short by the occurrence limit or MAX_ONSETS (a later one would give
    // the same).
    CICalendarDateTime onsetsEnd;
    std::vector<CICalendarDateTime> onsets;  // sorted, from start up to onsetsEnd
};

// STANDARD sub-component (kind 6).
class CICalendarVTimezoneStandard : public CICalendarVTimezoneElement {
public:
    explicit CICalendarVTimezoneStandard(int32_t calendarRef) : CICalendarVTimezoneElement(calendarRef) {}
    CICalendarVTimezoneStandard(const CICalendarVTimezoneStandard& other) = default;
    ~CICalendarVTimezoneStandard() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);
    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_STANDARD; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
};

// DAYLIGHT sub-component (kind 7).
class CICalendarVTimezoneDaylight : public CICalendarVTimezoneElement {
public:
    explicit CICalendarVTimezoneDaylight(int32_t calendarRef) : CICalendarVTimezoneElement(calendarRef) {}
    CICalendarVTimezoneDaylight(const CICalendarVTimezoneDaylight& other) = default;
    ~CICalendarVTimezoneDaylight() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);
    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_DAYLIGHT; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
};

}  // namespace iCal

#endif
