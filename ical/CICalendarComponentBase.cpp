#include "ical/CICalendarComponentBase.h"

#include <typeinfo>

#include "ical/CICalendarDateTimeValue.h"
#include "ical/CICalendarDurationValue.h"
#include "ical/CICalendarExactString.h"
#include "ical/CICalendarIntegerValue.h"
#include "ical/CICalendarMultiValue.h"
#include "ical/CICalendarPeriodValue.h"
#include "ical/CICalendarPlainTextValue.h"
#include "ical/CICalendarRecurrenceSet.h"
#include "ical/CICalendarRecurrenceValue.h"
#include "ical/CICalendarTextValue.h"
#include "ical/CICalendarUTCOffsetValue.h"

namespace iCal {

namespace {

// The value of the first property of that name as class T, or nullptr.
// Exact is the class T usually is (T itself unless T is abstract).
template <class T, class Exact = T>
const T* FirstValueAs(const CICalendarComponentBase::PropertyMap& properties, const std::string& name)
{
    auto it = properties.find(name);
    if (it == properties.end() || !it->value)
        return nullptr;
    const CICalendarValue* value = it->value.get();
    // The exact class is the usual answer and much cheaper to check than a
    // dynamic_cast, which then only decides for the other classes.
    if (typeid(*value) == typeid(Exact))
        return static_cast<const Exact*>(value);
    return dynamic_cast<const T*>(value);
}

}  // namespace

CICalendarComponentBase::~CICalendarComponentBase() = default;

bool CICalendarComponentBase::LoadPeriod(const std::string& propName, CICalendarPeriod& period) const
{
    const auto* v = FirstValueAs<CICalendarPeriodValue>(properties, propName);
    if (!v)
        return false;
    period = v->period;
    return true;
}

bool CICalendarComponentBase::LoadDuration(const std::string& propName, CICalendarDuration& duration) const
{
    const auto* v = FirstValueAs<CICalendarDurationValue>(properties, propName);
    if (!v)
        return false;
    duration = v->duration;
    return true;
}

bool CICalendarComponentBase::LoadDateTime(const std::string& propName, CICalendarDateTime& dateTime) const
{
    const auto* v = FirstValueAs<CICalendarDateTimeValue>(properties, propName);
    if (!v)
        return false;
    dateTime = v->dateTime;
    return true;
}

bool CICalendarComponentBase::LoadText(const std::string& propName, std::string& text) const
{
    const auto* v = FirstValueAs<CICalendarPlainTextValue, CICalendarTextValue>(properties, propName);
    if (!v)
        return false;
    AssignExact(text, v->text);
    return true;
}

bool CICalendarComponentBase::LoadInteger(const std::string& propName, int32_t& number, int32_t type) const
{
    if (type == VALUE_INTEGER) {
        const auto* v = FirstValueAs<CICalendarIntegerValue>(properties, propName);
        if (!v)
            return false;
        number = v->value;
        return true;
    }
    if (type == VALUE_UTC_OFFSET) {
        const auto* v = FirstValueAs<CICalendarUTCOffsetValue>(properties, propName);
        if (!v)
            return false;
        number = v->value;
        return true;
    }
    return false;
}

bool CICalendarComponentBase::LoadRules(const std::string& propName, CICalendarRecurrenceSet& set, bool include)
{
    auto range = properties.equal_range(propName);
    if (range.first == range.second)
        return false;
    for (auto it = range.first; it != range.second; ++it) {
        const auto* v = dynamic_cast<const CICalendarRecurrenceValue*>(it->value.get());
        if (!v)
            continue;
        (include ? set.rrules : set.exrules).push_back(v->recurrence);
    }
    return true;
}

bool CICalendarComponentBase::LoadDates(const std::string& propName, CICalendarRecurrenceSet& set, bool include)
{
    auto range = properties.equal_range(propName);
    if (range.first == range.second)
        return false;
    for (auto it = range.first; it != range.second; ++it) {
        auto* multi = dynamic_cast<CICalendarMultiValue*>(it->value.get());
        if (!multi)
            continue;
        const CICalendarAttribute* tzid = it->FindAttribute("TZID");
        auto& dates = include ? set.rdates : set.exdates;
        for (auto& element : multi->values) {
            if (auto* dt = dynamic_cast<CICalendarDateTimeValue*>(element.get())) {
                if (tzid)
                    dt->dateTime.SetTzid(tzid->FirstValue());
                dates.push_back(dt->dateTime);
            } else if (const auto* period = dynamic_cast<const CICalendarPeriodValue*>(element.get())) {
                dates.push_back(period->period.start);
            }
        }
    }
    return true;
}

void CICalendarComponentBase::AddProperty(const CICalendarProperty& property)
{
    properties.insert(property);
}

void CICalendarComponentBase::AddProperty(CICalendarProperty&& property)
{
    properties.insert(std::move(property));
}

void CICalendarComponentBase::RemoveProperties(const std::string& propName)
{
    properties.erase(propName);
}

bool CICalendarComponentBase::TakePrivateText(const std::string& propName, std::string& text)
{
    if (!LoadText(propName, text))
        return false;
    RemoveProperties(propName);
    return true;
}

const CICalendarProperty* CICalendarComponentBase::FindProperty(const std::string& propName) const
{
    auto it = properties.find(propName);
    return it != properties.end() ? &*it : nullptr;
}

CICalendarProperty* CICalendarComponentBase::FindProperty(const std::string& propName)
{
    auto it = properties.find(propName);
    return it != properties.end() ? &*it : nullptr;
}

bool CICalendarComponentBase::HasProperty(const std::string& propName) const
{
    return properties.find(propName) != properties.end();
}

void CICalendarComponentBase::AppendProperties(std::string& out)
{
    for (auto& entry : properties)
        entry.AppendLine(out);
}

void CICalendarComponentBase::WriteProperties(std::ostream& stream)
{
    std::string out;
    AppendProperties(out);
    stream << out;
}

}  // namespace iCal
