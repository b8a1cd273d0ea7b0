#ifndef ICAL_CICALENDARCOMPONENTDB_H
#define ICAL_CICALENDARCOMPONENTDB_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ical/CICalendarComponent.h"
#include "ical/CICalendarDateTime.h"

namespace iCal {

class CICalendarComponentRecur;

// The components of one kind in one calendar, keyed by MapKey (compared
// byte-wise, so overriding instances "r:..." come before masters "u:...").
// Owns its components. Beside the map it remembers, per UID, the
// RECURRENCE-IDs of the overriding instances added, so that an instance and
// its master find each other in whichever order they arrive.
class CICalendarComponentDB : private std::map<std::string, std::unique_ptr<CICalendarComponent>> {
    using Base = std::map<std::string, std::unique_ptr<CICalendarComponent>>;

public:
    // Read access of the map. Components enter only through AddComponent
    // and leave only through RemoveAllComponents, which keep the links
    // between instances and masters consistent.
    using Base::at;
    using Base::begin;
    using Base::cbegin;
    using Base::cend;
    using Base::const_iterator;
    using Base::count;
    using Base::empty;
    using Base::end;
    using Base::find;
    using Base::iterator;
    using Base::key_type;
    using Base::mapped_type;
    using Base::size;
    using Base::value_type;

    CICalendarComponentDB() = default;
    CICalendarComponentDB(const CICalendarComponentDB&) = delete;
    CICalendarComponentDB& operator=(const CICalendarComponentDB&) = delete;
    virtual ~CICalendarComponentDB();

    // Stores the component under its MapKey. A key already taken is replaced
    // only by a greater SEQUENCE (the old component is destroyed). Links an
    // overriding instance and its master, refreshing the instance.
    // On true the database owns the component (`component` is left empty);
    // on false (empty key, or a taken key with an equal or greater SEQUENCE)
    // nothing changes and the caller still owns it through `component`.
    bool AddComponent(std::unique_ptr<CICalendarComponent>& component);
    // MarkRemoved and destroy every component, in key order; recurrenceIds
    // are kept.
    void RemoveAllComponents();
    // The overriding instances of a UID, in the order their RECURRENCE-IDs
    // were first added. Borrowed.
    std::vector<CICalendarComponent*> FindInstances(const std::string& uid) const;
    // The component under "r:" + uid + the RECURRENCE-ID text, or nullptr.
    CICalendarComponent* FindInstance(const std::string& uid, const CICalendarDateTime& recurrenceId) const;

    // UID -> RECURRENCE-IDs of the instances added, each recorded once.
    std::map<std::string, std::vector<CICalendarDateTime>> recurrenceIds;

    // How many instances are refreshed from a master that replaced an earlier
    // revision of itself, over the database's life. Beyond it a replacing
    // master is still linked to every instance, without the refresh, so that
    // a text holding thousands of revisions of one series cannot stall
    // reading (every revision would refresh every instance again).
    static constexpr std::size_t MAX_REPLACEMENT_REFRESHES = 200000;

private:
    // UID -> the stored overriding instances, for linking a new master
    // without looking each one up again. Borrowed from the map above.
    std::map<std::string, std::vector<CICalendarComponentRecur*>> instancesOfUid;
    std::size_t replacementRefreshes = 0;
};

}  // namespace iCal

#endif
