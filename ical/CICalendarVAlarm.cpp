#include "ical/CICalendarVAlarm.h"

#include "ical/CICalendarCalAddressValue.h"
#include "ical/CICalendarDefinitions.h"

namespace iCal {

namespace {

// Strings, not literals: names this long would otherwise be allocated on the
// heap for every alarm read.
const std::string SPEAK_TEXT = "X-RIZIDEDI-SPEAK-TEXT";
const std::string ALARM_STATUS = "X-RIZIDEDI-ALARM-STATUS";
const std::string LAST_TRIGGER = "X-RIZIDEDI-LAST-TRIGGER";

}  // namespace

CICalendarVAlarm::CICalendarVAlarmAction::~CICalendarVAlarmAction() = default;

std::unique_ptr<CICalendarVAlarm::CICalendarVAlarmAction> CICalendarVAlarm::CICalendarVAlarmAudio::Clone() const
{
    return std::make_unique<CICalendarVAlarmAudio>(*this);
}

void CICalendarVAlarm::CICalendarVAlarmAudio::LoadFrom(const CICalendarVAlarm& alarm)
{
    alarm.LoadText(SPEAK_TEXT, speakText);
}

void CICalendarVAlarm::CICalendarVAlarmAudio::StoreInto(CICalendarComponent& component) const
{
    RemoveFrom(component);
    component.AddProperty(CICalendarProperty(SPEAK_TEXT, speakText));
}

void CICalendarVAlarm::CICalendarVAlarmAudio::RemoveFrom(CICalendarComponent& component) const
{
    component.RemoveProperties(SPEAK_TEXT);
}

std::unique_ptr<CICalendarVAlarm::CICalendarVAlarmAction> CICalendarVAlarm::CICalendarVAlarmDisplay::Clone() const
{
    return std::make_unique<CICalendarVAlarmDisplay>(*this);
}

void CICalendarVAlarm::CICalendarVAlarmDisplay::LoadFrom(const CICalendarVAlarm& alarm)
{
    alarm.LoadText("DESCRIPTION", description);
}

void CICalendarVAlarm::CICalendarVAlarmDisplay::StoreInto(CICalendarComponent& component) const
{
    RemoveFrom(component);
    component.AddProperty(CICalendarProperty("DESCRIPTION", description));
}

void CICalendarVAlarm::CICalendarVAlarmDisplay::RemoveFrom(CICalendarComponent& component) const
{
    component.RemoveProperties("DESCRIPTION");
}

std::unique_ptr<CICalendarVAlarm::CICalendarVAlarmAction> CICalendarVAlarm::CICalendarVAlarmEmail::Clone() const
{
    return std::make_unique<CICalendarVAlarmEmail>(*this);
}

void CICalendarVAlarm::CICalendarVAlarmEmail::LoadFrom(const CICalendarVAlarm& alarm)
{
    alarm.LoadText("DESCRIPTION", description);
    alarm.LoadText("SUMMARY", summary);
    attendees.clear();
    auto range = alarm.properties.equal_range("ATTENDEE");
    for (auto it = range.first; it != range.second; ++it) {
        if (const auto* address = dynamic_cast<const CICalendarCalAddressValue*>(it->value.get()))
            attendees.push_back(address->text);
    }
}

void CICalendarVAlarm::CICalendarVAlarmEmail::StoreInto(CICalendarComponent& component) const
{
    RemoveFrom(component);
    component.AddProperty(CICalendarProperty("DESCRIPTION", description));
    component.AddProperty(CICalendarProperty("SUMMARY", summary));
    for (const std::string& address : attendees)
        component.AddProperty(CICalendarProperty("ATTENDEE", address, VALUE_CAL_ADDRESS));
}

void CICalendarVAlarm::CICalendarVAlarmEmail::RemoveFrom(CICalendarComponent& component) const
{
    component.RemoveProperties("DESCRIPTION");
    component.RemoveProperties("SUMMARY");
    component.RemoveProperties("ATTENDEE");
}

std::unique_ptr<CICalendarVAlarm::CICalendarVAlarmAction> CICalendarVAlarm::CICalendarVAlarmUnknown::Clone() const
{
    return std::make_unique<CICalendarVAlarmUnknown>(*this);
}

CICalendarVAlarm::CICalendarVAlarm(int32_t calendarRef)
    : CICalendarComponent(calendarRef),
      action(std::make_unique<CICalendarVAlarmDisplay>()),
      triggerOffset(CICalendarDuration::Seconds(3600)),
      repeatInterval(CICalendarDuration::Seconds(300))
{
}

CICalendarVAlarm::CICalendarVAlarm(const CICalendarVAlarm& other)
    : CICalendarComponent(other),
      actionKind(other.actionKind),
      action(other.action->Clone()),
      triggerAbsolute(other.triggerAbsolute),
      triggerAt(other.triggerAt),
      triggerOffset(other.triggerOffset),
      triggerOnStart(other.triggerOnStart),
      repeatCount(other.repeatCount),
      repeatInterval(other.repeatInterval),
      alarmStatus(other.alarmStatus),
      lastTrigger(other.lastTrigger),
      nextTrigger(other.nextTrigger)
{
}

CICalendarVAlarm::~CICalendarVAlarm() = default;

std::unique_ptr<CICalendarComponent> CICalendarVAlarm::Create(int32_t calendarRef)
{
    return std::make_unique<CICalendarVAlarm>(calendarRef);
}

std::unique_ptr<CICalendarComponent> CICalendarVAlarm::Clone() const
{
    return std::make_unique<CICalendarVAlarm>(*this);
}

const std::string& CICalendarVAlarm::BeginLine() const
{
    static const std::string line("BEGIN:VALARM");
    return line;
}

const std::string& CICalendarVAlarm::EndLine() const
{
    static const std::string line("END:VALARM");
    return line;
}

void CICalendarVAlarm::CompleteLoad()
{
    CICalendarComponent::CompleteLoad();

    // RFC 5545 section 3.8.6.1; texts are compared exactly.
    std::string text;
    if (LoadText("ACTION", text)) {
        if (text == "AUDIO") {
            actionKind = ACTION_AUDIO;
            action = std::make_unique<CICalendarVAlarmAudio>();
        } else if (text == "DISPLAY") {
            actionKind = ACTION_DISPLAY;
            action = std::make_unique<CICalendarVAlarmDisplay>();
        } else if (text == "EMAIL") {
            actionKind = ACTION_EMAIL;
            action = std::make_unique<CICalendarVAlarmEmail>();
        } else {
            actionKind = text == "PROCEDURE" ? ACTION_PROCEDURE : ACTION_OTHER;
            action = std::make_unique<CICalendarVAlarmUnknown>();
        }
        action->LoadFrom(*this);
    }

    // RFC 5545 section 3.8.6.3: a DATE-TIME (VALUE=DATE-TIME) or a DURATION
    // relative to the start (RELATED=START, the default) or the end.
    if (HasProperty("TRIGGER")) {
        CICalendarDuration offset;
        if (LoadDateTime("TRIGGER", triggerAt)) {
            triggerAbsolute = true;
        } else if (LoadDuration("TRIGGER", offset)) {
            triggerAbsolute = false;
            triggerOffset = offset;
            const CICalendarAttribute* related = FindProperty("TRIGGER")->FindAttribute("RELATED");
            if (!related || related->FirstValue() == "START")
                triggerOnStart = true;
            else if (related->FirstValue() == "END")
                triggerOnStart = false;
        }
    }

    LoadInteger("REPEAT", repeatCount, VALUE_INTEGER);
    LoadDuration("DURATION", repeatInterval);
    if (LoadText(ALARM_STATUS, text)) {
        if (text == "COMPLETED")
            alarmStatus = ALARM_COMPLETED;
        else if (text == "DISABLED")
            alarmStatus = ALARM_DISABLED;
        else
            alarmStatus = ALARM_PENDING;
    }
    LoadDateTime(LAST_TRIGGER, lastTrigger);
}

}  // namespace iCal
