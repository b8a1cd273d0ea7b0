#ifndef ICAL_CICALENDARVALARM_H
#define ICAL_CICALENDARVALARM_H

#include <memory>
#include <string>
#include <vector>

#include "ical/CICalendarComponent.h"
#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarDuration.h"

namespace iCal {

// VALARM (RFC 5545 section 3.6.6), nested in a VEVENT or VTODO that owns it.
// Its properties are read into typed fields and written back unchanged;
// nothing here computes when an alarm fires.
class CICalendarVAlarm : public CICalendarComponent {
public:
    enum ActionKind : int32_t { ACTION_AUDIO = 0, ACTION_DISPLAY = 1, ACTION_EMAIL = 2, ACTION_PROCEDURE = 3, ACTION_OTHER = 4 };
    enum AlarmStatus : int32_t { ALARM_PENDING = 0, ALARM_COMPLETED = 1, ALARM_DISABLED = 2 };

    // What the alarm does; owned by its alarm.
    class CICalendarVAlarmAction {
    public:
        explicit CICalendarVAlarmAction(int32_t kind) : kind(kind) {}
        virtual ~CICalendarVAlarmAction();
        // Caller owns the result.
        virtual std::unique_ptr<CICalendarVAlarmAction> Clone() const = 0;
        // Reads the action's properties from the alarm.
        virtual void LoadFrom(const CICalendarVAlarm& alarm) = 0;
        // RemoveFrom, then adds the action's properties.
        virtual void StoreInto(CICalendarComponent& component) const = 0;
        virtual void RemoveFrom(CICalendarComponent& component) const = 0;
        int32_t kind;  // the action's own kind code (ActionKind; 4 for unknown)
    };
    class CICalendarVAlarmAudio : public CICalendarVAlarmAction {
    public:
        CICalendarVAlarmAudio() : CICalendarVAlarmAction(ACTION_AUDIO) {}
        std::unique_ptr<CICalendarVAlarmAction> Clone() const override;
        void LoadFrom(const CICalendarVAlarm& alarm) override;
        void StoreInto(CICalendarComponent& component) const override;
        void RemoveFrom(CICalendarComponent& component) const override;
        std::string speakText;
    };
    class CICalendarVAlarmDisplay : public CICalendarVAlarmAction {
    public:
        CICalendarVAlarmDisplay() : CICalendarVAlarmAction(ACTION_DISPLAY) {}
        std::unique_ptr<CICalendarVAlarmAction> Clone() const override;
        void LoadFrom(const CICalendarVAlarm& alarm) override;
        void StoreInto(CICalendarComponent& component) const override;
        void RemoveFrom(CICalendarComponent& component) const override;
        std::string description;
    };
    class CICalendarVAlarmEmail : public CICalendarVAlarmAction {
    public:
        CICalendarVAlarmEmail() : CICalendarVAlarmAction(ACTION_EMAIL) {}
        std::unique_ptr<CICalendarVAlarmAction> Clone() const override;
        void LoadFrom(const CICalendarVAlarm& alarm) override;
        void StoreInto(CICalendarComponent& component) const override;
        void RemoveFrom(CICalendarComponent& component) const override;
        std::string description;
        std::string summary;
        std::vector<std::string> attendees;  // CAL-ADDRESS texts in order
    };
    class CICalendarVAlarmUnknown : public CICalendarVAlarmAction {
    public:
        CICalendarVAlarmUnknown() : CICalendarVAlarmAction(ACTION_OTHER) {}
        std::unique_ptr<CICalendarVAlarmAction> Clone() const override;
        void LoadFrom(const CICalendarVAlarm&) override {}
        void StoreInto(CICalendarComponent&) const override {}
        void RemoveFrom(CICalendarComponent&) const override {}
    };

    explicit CICalendarVAlarm(int32_t calendarRef);
    CICalendarVAlarm(const CICalendarVAlarm& other);
    ~CICalendarVAlarm() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);

    void CompleteLoad() override;
    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_VALARM; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
    std::string MimeName() const override { return std::string(); }
    // An alarm keeps its SEQUENCE and properties when its event changes.
    void MarkChanged() override {}

    int32_t actionKind = ACTION_DISPLAY;
    std::unique_ptr<CICalendarVAlarmAction> action;  // owned; never null
    bool triggerAbsolute = false;
    CICalendarDateTime triggerAt;
    CICalendarDuration triggerOffset;  // one hour, forward, until read
    bool triggerOnStart = true;        // RELATED=START (true) or END
    int32_t repeatCount = 0;
    CICalendarDuration repeatInterval;  // five minutes, forward, until read
    int32_t alarmStatus = ALARM_PENDING;
    CICalendarDateTime lastTrigger;
    CICalendarDateTime nextTrigger;  // kept and copied, never computed here
};

}  // namespace iCal

#endif
