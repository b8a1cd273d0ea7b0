#ifndef ICAL_CICALENDARVFREEBUSY_H
#define ICAL_CICALENDARVFREEBUSY_H

#include "ical/CICalendarComponent.h"
#include "ical/CICalendarDateTime.h"

namespace iCal {

// VFREEBUSY (RFC 5545 section 3.6.4). The FREEBUSY periods stay properties.
class CICalendarVFreeBusy : public CICalendarComponent {
public:
    explicit CICalendarVFreeBusy(int32_t calendarRef);
    CICalendarVFreeBusy(const CICalendarVFreeBusy& other) = default;
    ~CICalendarVFreeBusy() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);

    void CompleteLoad() override;
    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_VFREEBUSY; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
    std::string MimeName() const override { return "vfreebusy"; }

    CICalendarDateTime start;
    bool hasStart = false;
    CICalendarDateTime end;  // DTEND, or start + DURATION, or repaired from start
    bool hasEnd = false;
    bool durationGiven = false;
};

}  // namespace iCal

#endif
