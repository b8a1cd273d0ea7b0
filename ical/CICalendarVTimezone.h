#ifndef ICAL_CICALENDARVTIMEZONE_H
#define ICAL_CICALENDARVTIMEZONE_H

#include "ical/CICalendarComponent.h"

namespace iCal {

class CICalendarDateTime;
class CICalendarVTimezoneElement;

// VTIMEZONE (RFC 5545 section 3.6.5): a named zone defined by STANDARD and
// DAYLIGHT sub-components, which it owns in `embedded`, sorted by start after
// CompleteLoad. Stored in its calendar's `timezones` under its TZID.
class CICalendarVTimezone : public CICalendarComponent {
public:
    explicit CICalendarVTimezone(int32_t calendarRef);
    CICalendarVTimezone(const CICalendarVTimezone& other) = default;
    ~CICalendarVTimezone() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);

    // TZID, then the sub-components sorted by start (stable), then the
    // common component fields.
    void CompleteLoad() override;
    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_VTIMEZONE; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
    std::string MimeName() const override { return std::string(); }
    // Accepts STANDARD and DAYLIGHT only.
    bool AddComponent(std::unique_ptr<CICalendarComponent>& component) override;
    const std::string& MapKey() const override { return tzid; }

    // The sub-component in force at local time t (its TZID is ignored):
    // the later onset of the last STANDARD and the last DAYLIGHT that started
    // strictly before t; STANDARD wins a tie. nullptr when none has started.
    // Borrowed. Example for a New York-like zone: 2013-03-10 02:00:00 (the
    // onset itself) is still STANDARD, 02:00:01 and the skipped 02:30 are
    // DAYLIGHT; 2013-11-03 01:30 (occurs twice) is DAYLIGHT, 02:30 STANDARD.
    CICalendarVTimezoneElement* FindElement(const CICalendarDateTime& t);
    // FindElement's offsetTo in seconds east of UTC, 0 when there is none.
    int32_t OffsetAt(const CICalendarDateTime& t);

    std::string tzid;
};

}  // namespace iCal

#endif
