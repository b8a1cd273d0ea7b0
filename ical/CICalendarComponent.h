#ifndef ICAL_CICALENDARCOMPONENT_H
#define ICAL_CICALENDARCOMPONENT_H

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ical/CICalendarComponentBase.h"

namespace iCal {

// Kind codes of the concrete components.
enum ComponentKind : int32_t {
    KIND_VEVENT = 0,
    KIND_VTODO = 1,
    KIND_VJOURNAL = 2,
    KIND_VFREEBUSY = 3,
    KIND_VTIMEZONE = 4,
    KIND_VALARM = 5,
    KIND_STANDARD = 6,
    KIND_DAYLIGHT = 7
};

// One iCalendar component (RFC 5545 section 3.6): its properties, identity
// (UID, SEQUENCE), synchronisation tags and nested components.
// A top-level component is owned by one CICalendarComponentDB of its
// calendar; a nested one by its embedder. Used by one thread at a time.
class CICalendarComponent : public CICalendarComponentBase {
public:
    // Requires: calendarRef names the calendar the component is made for.
    explicit CICalendarComponent(int32_t calendarRef);
    // Deep copy: properties, identity and clones of the nested components
    // (their embedder is the copy); the copy itself has no embedder and an
    // empty uidDomain.
    CICalendarComponent(const CICalendarComponent& other);
    CICalendarComponent& operator=(const CICalendarComponent&) = delete;
    ~CICalendarComponent() override;

    // UID, SEQUENCE and the two private synchronisation properties (taken
    // out of the properties into rurl and etag).
    void CompleteLoad() override;
    bool Write(std::ostream& stream, bool forCache) override;
    // The same text appended to a string.
    void AppendTo(std::string& out, bool forCache);

    // A heap copy of the same class; caller owns it.
    virtual std::unique_ptr<CICalendarComponent> Clone() const = 0;
    virtual int32_t Kind() const = 0;
    virtual const std::string& BeginLine() const = 0;
    virtual const std::string& EndLine() const = 0;
    virtual std::string MimeName() const = 0;
    // Nests `component` when this class accepts its kind. On true the
    // receiver owns it (`component` is left empty); on false nothing changes
    // and the caller still owns it through `component` and destroys it.
    virtual bool AddComponent(std::unique_ptr<CICalendarComponent>& component);
    // The key under which the component is stored in its database.
    virtual const std::string& MapKey() const;
    virtual std::string MasterKey() const;
    // Sets the UID (a new one is generated for an empty text) and replaces
    // the UID properties with one holding it.
    virtual void AssignUid(const std::string& newUid);
    // DTSTAMP (and LAST-MODIFIED) set to the current UTC time.
    virtual void StampNow();
    virtual void TouchLastModified();
    virtual void MarkAdded();
    virtual void MarkRemoved();
    // Prepares a copy to become a new component: identity and tags cleared.
    virtual void MarkDuplicated();
    // SEQUENCE + 1, LAST-MODIFIED now, and the change recorded on the
    // component's calendar.
    virtual void MarkChanged();
    virtual bool IsMaster() const;
    // The TZIDs of the component's own DATE-TIME properties that are neither
    // date-only nor UTC; nested components and multi-values are not visited.
    virtual void CollectTzids(std::set<std::string>& tzids) const;

    // A new UID: an MD5 digest in UUID text form, "@", and the domain
    // (uidDomain, or "belvorine" when it is empty).
    std::string GenerateUid() const;

    int32_t calendarRef;
    std::string uid;
    int32_t sequence = 0;
    int32_t loadedSequence = 0;
    CICalendarComponent* embedder = nullptr;  // not owned: the component holding this one
    std::vector<std::unique_ptr<CICalendarComponent>> embedded;  // owned, in the order added
    std::string rurl;
    std::string etag;
    bool changed = false;
    std::string uidDomain;  // domain of generated UIDs; nothing in this system fills it

protected:
    // Appends `component` to `embedded` with this as its embedder.
    void Embed(std::unique_ptr<CICalendarComponent>& component);

    // The end that replaces one not after the start: the next midnight for a
    // DATE-TIME start (20130105T100000 gives 20130106T000000), the next day
    // for a DATE start (20130105 gives 20130106), which then counts as a
    // given duration of one day.
    static void EndOnNextDay(const CICalendarDateTime& start, CICalendarDateTime& end, bool& durationGiven);
};

}  // namespace iCal

#endif
