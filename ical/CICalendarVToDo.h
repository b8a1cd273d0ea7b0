#ifndef ICAL_CICALENDARVTODO_H
#define ICAL_CICALENDARVTODO_H

#include "ical/CICalendarComponentRecur.h"

namespace iCal {

// VTODO (RFC 5545 section 3.6.2). The inherited end/hasEnd hold the due
// date. May hold VALARMs.
class CICalendarVToDo : public CICalendarComponentRecur {
public:
    enum StatusCode : int32_t {
        STATUS_NONE = 0, STATUS_NEEDS_ACTION = 1, STATUS_IN_PROCESS = 2, STATUS_COMPLETED = 3, STATUS_CANCELLED = 4
    };

    explicit CICalendarVToDo(int32_t calendarRef);
    CICalendarVToDo(const CICalendarVToDo& other) = default;
    ~CICalendarVToDo() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);

    void CompleteLoad() override;
    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_VTODO; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
    std::string MimeName() const override { return "vtodo"; }
    // Accepts VALARM only.
    bool AddComponent(std::unique_ptr<CICalendarComponent>& component) override;

    int32_t priority = 0;
    int32_t status = STATUS_NONE;
    int32_t percentComplete = 0;
    CICalendarDateTime completed;
    bool hasCompleted = false;
};

}  // namespace iCal

#endif
