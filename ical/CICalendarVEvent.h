#ifndef ICAL_CICALENDARVEVENT_H
#define ICAL_CICALENDARVEVENT_H

#include "ical/CICalendarComponentRecur.h"

namespace iCal {

// VEVENT (RFC 5545 section 3.6.1). May hold VALARMs.
class CICalendarVEvent : public CICalendarComponentRecur {
public:
    enum StatusCode : int32_t { STATUS_NONE = 0, STATUS_CONFIRMED = 1, STATUS_TENTATIVE = 2, STATUS_CANCELLED = 3 };

    explicit CICalendarVEvent(int32_t calendarRef);
    CICalendarVEvent(const CICalendarVEvent& other) = default;
    ~CICalendarVEvent() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);

    void CompleteLoad() override;
    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_VEVENT; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
    std::string MimeName() const override { return "vevent"; }
    // Accepts VALARM only.
    bool AddComponent(std::unique_ptr<CICalendarComponent>& component) override;
    virtual int32_t Status() const { return status; }

    int32_t status = STATUS_NONE;
};

}  // namespace iCal

#endif
