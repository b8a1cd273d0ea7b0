#include "ical/CICalendar.h"

#include <functional>
#include <set>
#include <vector>
#include <unordered_map>

#include "ical/CICalendarComponentRecur.h"
#include "ical/CICalendarPlainTextValue.h"
#include "ical/CICalendarTextLine.h"
#include "ical/CICalendarVAlarm.h"
#include "ical/CICalendarVEvent.h"
#include "ical/CICalendarVFreeBusy.h"
#include "ical/CICalendarVJournal.h"
#include "ical/CICalendarVTimezone.h"
#include "ical/CICalendarVTimezoneElement.h"
#include "ical/CICalendarVToDo.h"
#include "ical/CICalendarZoneOffset.h"

namespace iCal {

const char* const CICalendar::PRODUCT_ID = "-//mivo.example//Mivo//EN";

namespace {

// Process-wide state. Function-local statics so that they exist before the
// first calendar is made, whatever the order of static initialisation, and
// outlive the time-zone database (constructed after them).
int32_t& NextCalendarRef()
{
    static int32_t next = 1;
    return next;
}

std::map<int32_t, CICalendar*>& CalendarRegistry()
{
    static std::map<int32_t, CICalendar*> registry;
    return registry;
}

using Factory = std::unique_ptr<CICalendarComponent> (*)(int32_t calendarRef);
struct KindEntry {
    Factory factory;
    int32_t kind;
};
using KindRegistry = std::unordered_map<std::string, KindEntry>;

// The components the reader knows, by their exact BEGIN line.
const KindRegistry& TopLevelKinds()
{
    static const KindRegistry kinds{
        {"BEGIN:VEVENT", {&CICalendarVEvent::Create, KIND_VEVENT}},
        {"BEGIN:VTODO", {&CICalendarVToDo::Create, KIND_VTODO}},
        {"BEGIN:VJOURNAL", {&CICalendarVJournal::Create, KIND_VJOURNAL}},
        {"BEGIN:VFREEBUSY", {&CICalendarVFreeBusy::Create, KIND_VFREEBUSY}},
        {"BEGIN:VTIMEZONE", {&CICalendarVTimezone::Create, KIND_VTIMEZONE}},
    };
    return kinds;
}

const KindRegistry& EmbeddedKinds()
{
    static const KindRegistry kinds{
        {"BEGIN:VALARM", {&CICalendarVAlarm::Create, KIND_VALARM}},
        {"BEGIN:STANDARD", {&CICalendarVTimezoneStandard::Create, KIND_STANDARD}},
        {"BEGIN:DAYLIGHT", {&CICalendarVTimezoneDaylight::Create, KIND_DAYLIGHT}},
    };
    return kinds;
}

// The kind a BEGIN line opens, or nullptr. Most lines are properties, some
// long: the prefix test spares hashing them.
const KindEntry* FindKind(const KindRegistry& kinds, const std::string& line)
{
    if (line.compare(0, 6, "BEGIN:") != 0)
        return nullptr;
    auto it = kinds.find(line);
    return it == kinds.end() ? nullptr : &it->second;
}

// A property holds a plain-text value equal to `text`.
bool PlainTextEquals(const CICalendarProperty& property, const char* text)
{
    const auto* plain = dynamic_cast<const CICalendarPlainTextValue*>(property.value.get());
    return plain && plain->text == text;
}

// Set while ZoneOffset is answering. Comparing a zone's own onsets never
// needs an offset (they are floating), so a nested question can only come
// from a malformed zone; it is answered with 0 instead of recursing.
bool zoneOffsetBusy = false;

}  // namespace

CICalendar& CICalendar::TimezoneDatabase()
{
    static CICalendar database{DatabaseTag{}};
    return database;
}

CICalendar::CICalendar(DatabaseTag)
{
    Initialise();
    SetZoneOffsetHook(&CICalendar::ZoneOffset);
}

CICalendar::CICalendar()
{
    TimezoneDatabase();
    Initialise();
}

void CICalendar::Initialise()
{
    calendarRef = NextCalendarRef()++;
    CalendarRegistry()[calendarRef] = this;
    AddProperty(CICalendarProperty("PRODID", PRODUCT_ID));
    AddProperty(CICalendarProperty("VERSION", "2.0"));
    AddProperty(CICalendarProperty("CALSCALE", "GREGORIAN"));
}

CICalendar::~CICalendar()
{
    events.RemoveAllComponents();
    todos.RemoveAllComponents();
    journals.RemoveAllComponents();
    freeBusys.RemoveAllComponents();
    timezones.RemoveAllComponents();
    CalendarRegistry().erase(calendarRef);
    if (this == &TimezoneDatabase())
        SetZoneOffsetHook(nullptr);
}

CICalendar* CICalendar::FindCalendar(int32_t ref)
{
    auto& registry = CalendarRegistry();
    auto it = registry.find(ref);
    return it == registry.end() ? nullptr : it->second;
}

CICalendarComponentDB& CICalendar::DatabaseFor(int32_t kind)
{
    switch (kind) {
    case KIND_VTODO: return todos;
    case KIND_VJOURNAL: return journals;
    case KIND_VFREEBUSY: return freeBusys;
    case KIND_VTIMEZONE: return timezones;
    default: return events;
    }
}

void CICalendar::RecordChange(const CICalendarComponent& component)
{
    modified = true;
    const std::string& key = component.MapKey();
    if (changeRecords.find(key) == changeRecords.end())
        changeRecords.emplace(key, CICalendarComponentRecord(component));
}

void CICalendar::CompleteLoad()
{
    LoadText("X-WR-CALNAME", name);
    LoadText("X-WR-CALDESC", description);
}

bool CICalendar::Read(std::istream& stream)
{
    enum State { OUTSIDE = 0, IN_CALENDAR = 1, IN_COMPONENT = 2, IN_NESTED = 3 };
    const KindRegistry& topLevel = TopLevelKinds();
    const KindRegistry& nested = EmbeddedKinds();

    State state = OUTSIDE;
    bool result = false;
    std::unique_ptr<CICalendarComponent> current;
    std::unique_ptr<CICalendarComponent> parent;
    CICalendarComponentDB* database = nullptr;
    std::string lookahead;
    std::string line;
    // The properties of the calendar, of `current` and of `parent` are
    // collected here and enter their object's map together, once its END
    // line is read: one allocation of the final size and one sort each.
    std::vector<CICalendarProperty> calendarLines;
    std::vector<CICalendarProperty> currentLines;
    std::vector<CICalendarProperty> parentLines;
    auto moveInto = [](std::vector<CICalendarProperty>& lines, CICalendarComponentBase& object) {
        object.properties.append(lines.begin(), lines.end());
        lines.clear();
    };

    auto finished = [&stream] { return stream.eof() || stream.fail(); };

    if (!finished()) {
        while (ReadUnfoldedLine(stream, lookahead, line)) {
            switch (state) {
            case OUTSIDE:
                if (line == "BEGIN:VCALENDAR") {
                    state = IN_CALENDAR;
                    result = true;
                }
                break;
            case IN_CALENDAR: {
                if (const KindEntry* kind = FindKind(topLevel, line)) {
                    current = kind->factory(calendarRef);
                    database = &DatabaseFor(kind->kind);
                    state = IN_COMPONENT;
                    break;
                }
                if (line == "END:VCALENDAR") {
                    moveInto(calendarLines, *this);
                    CompleteLoad();
                    state = OUTSIDE;
                    break;
                }
                CICalendarProperty property;
                if (!property.ReadLine(line))
                    break;
                // RFC 5545 section 3.7: only version 2.0 of the Gregorian
                // calendar is understood; anything else is not this format.
                if (property.name == "VERSION") {
                    if (!PlainTextEquals(property, "2.0")) {
                        moveInto(calendarLines, *this);
                        return false;
                    }
                    break;
                }
                if (property.name == "CALSCALE") {
                    if (!PlainTextEquals(property, "GREGORIAN")) {
                        moveInto(calendarLines, *this);
                        return false;
                    }
                    break;
                }
                // Every calendar written here carries this system's PRODID.
                if (property.name == "PRODID")
                    break;
                if (properties.size() + calendarLines.size() < MAX_CALENDAR_PROPERTIES)
                    calendarLines.push_back(std::move(property));
                break;
            }
            case IN_COMPONENT:
            case IN_NESTED: {
                if (line == current->EndLine()) {
                    moveInto(currentLines, *current);
                    current->CompleteLoad();
                    if (state == IN_NESTED) {
                        parent->AddComponent(current);  // refused: destroyed below
                        current = std::move(parent);
                        currentLines.swap(parentLines);
                        state = IN_COMPONENT;
                    } else {
                        database->AddComponent(current);  // refused: destroyed below
                        current.reset();
                        database = nullptr;
                        state = IN_CALENDAR;
                    }
                    break;
                }
                if (state == IN_COMPONENT) {
                    if (const KindEntry* kind = FindKind(nested, line)) {
                        parent = std::move(current);
                        parentLines.swap(currentLines);
                        current = kind->factory(calendarRef);
                        state = IN_NESTED;
                        break;
                    }
                }
                CICalendarProperty property;
                if (property.ReadLine(line) && currentLines.size() < MAX_COMPONENT_PROPERTIES)
                    currentLines.push_back(std::move(property));
                break;
            }
            }
            if (finished())
                break;
        }
    }
    // A component whose END line never came is discarded with `current`
    // and `parent`; the calendar keeps what it read.
    moveInto(calendarLines, *this);
    if (this != &TimezoneDatabase())
        PublishTimezones();
    return result;
}

void CICalendar::IncludeTimezones()
{
    std::set<std::string> tzids;
    for (CICalendarComponentDB* db : {&events, &todos, &journals, &freeBusys})
        for (auto& entry : *db)
            entry.second->CollectTzids(tzids);
    CICalendarComponentDB& known = TimezoneDatabase().timezones;
    if (&known == &timezones)
        return;
    for (const std::string& tzid : tzids) {
        if (timezones.find(tzid) != timezones.end())
            continue;
        auto it = known.find(tzid);
        if (it == known.end())
            continue;
        std::unique_ptr<CICalendarComponent> copy = it->second->Clone();
        copy->calendarRef = calendarRef;
        timezones.AddComponent(copy);
    }
}

void CICalendar::PublishTimezones()
{
    CICalendarComponentDB& known = TimezoneDatabase().timezones;
    if (&known == &timezones)
        return;
    for (auto& entry : timezones) {
        if (known.find(entry.first) != known.end())
            continue;
        std::unique_ptr<CICalendarComponent> copy = entry.second->Clone();
        copy->calendarRef = TimezoneDatabase().calendarRef;
        known.AddComponent(copy);
    }
}

int32_t CICalendar::ZoneOffset(const std::string& tzid, const CICalendarDateTime& dateTime)
{
    if (zoneOffsetBusy)
        return 0;
    CICalendarComponentDB& known = TimezoneDatabase().timezones;
    auto it = known.find(tzid);
    if (it == known.end())
        return 0;
    zoneOffsetBusy = true;
    const int32_t offset = static_cast<CICalendarVTimezone&>(*it->second).OffsetAt(dateTime);
    zoneOffsetBusy = false;
    return offset;
}

void CICalendar::Flush(std::ostream& stream, std::string& out, bool force)
{
    if (force || out.size() >= 64 * 1024) {
        stream.write(out.data(), static_cast<std::streamsize>(out.size()));
        out.clear();
    }
}

bool CICalendar::Write(std::ostream& stream, bool forCache)
{
    IncludeTimezones();
    std::string out;
    out.reserve(80 * 1024);
    out += "BEGIN:VCALENDAR\r\n";
    AppendProperties(out);
    for (CICalendarComponentDB* db : {&timezones, &events, &todos, &journals, &freeBusys}) {
        for (auto& entry : *db) {
            entry.second->AppendTo(out, forCache);
            Flush(stream, out, false);
        }
    }
    out += "END:VCALENDAR\r\n";
    Flush(stream, out, true);
    return stream.good();
}

bool CICalendar::WriteSingle(std::ostream& stream, CICalendarComponent& component)
{
    std::string out = "BEGIN:VCALENDAR\r\n";
    AppendProperties(out);
    std::set<std::string> tzids;
    component.CollectTzids(tzids);
    CICalendarComponentDB& known = TimezoneDatabase().timezones;
    for (const std::string& tzid : tzids) {
        auto own = timezones.find(tzid);
        if (own != timezones.end()) {
            own->second->AppendTo(out, false);
            continue;
        }
        auto shared = known.find(tzid);
        if (shared != known.end())
            shared->second->AppendTo(out, false);
    }
    component.AppendTo(out, false);
    if (dynamic_cast<const CICalendarComponentRecur*>(&component)) {
        for (CICalendarComponent* instance : DatabaseFor(component.Kind()).FindInstances(component.uid))
            instance->AppendTo(out, false);
    }
    out += "END:VCALENDAR\r\n";
    Flush(stream, out, true);
    return stream.good();
}

}  // namespace iCal
