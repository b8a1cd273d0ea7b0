#include "ical/CICalendarComponentDB.h"

#include "ical/CICalendarComponentRecur.h"

namespace iCal {

CICalendarComponentDB::~CICalendarComponentDB() = default;

bool CICalendarComponentDB::AddComponent(std::unique_ptr<CICalendarComponent>& component)
{
    if (!component)
        return false;
    std::string key = component->MapKey();
    if (key.empty())
        return false;
    CICalendarComponent* added = component.get();
    CICalendarComponent* replaced = nullptr;
    auto found = lower_bound(key);
    if (found != end() && found->first == key) {
        // RFC 5545 section 3.8.7.4: a greater SEQUENCE is a newer revision.
        if (component->sequence <= found->second->sequence)
            return false;
        replaced = found->second.get();
        found->second = std::move(component);  // the stored one is destroyed here
    } else {
        emplace_hint(found, std::move(key), std::move(component));
    }

    if (auto* recur = dynamic_cast<CICalendarComponentRecur*>(added)) {
        const std::string& uid = recur->uid;
        if (recur->hasRecurrenceId) {
            std::vector<CICalendarComponentRecur*>& instances = instancesOfUid[uid];
            if (replaced) {
                // Same key, so the same UID and RECURRENCE-ID text: it is
                // recorded already and takes the old one's place in the list.
                for (CICalendarComponentRecur*& instance : instances)
                    if (instance == replaced)
                        instance = recur;
            } else {
                recurrenceIds[uid].push_back(recur->recurrenceId);
                instances.push_back(recur);
            }
            auto masterIt = find("u:" + uid);
            if (masterIt != this->end()) {
                if (auto* master = dynamic_cast<CICalendarComponentRecur*>(masterIt->second.get())) {
                    recur->master = master;
                    recur->RefreshFromMaster();
                }
            }
        } else if (auto linked = instancesOfUid.find(uid); linked != instancesOfUid.end()) {
            // A master links every instance of its UID, whichever came first;
            // one that replaces an earlier revision relinks them (the old one
            // is gone). Most masters have no instances and leave no entry.
            for (CICalendarComponentRecur* instance : linked->second) {
                instance->master = recur;
                if (!replaced) {
                    instance->RefreshFromMaster();
                } else if (replacementRefreshes < MAX_REPLACEMENT_REFRESHES) {
                    ++replacementRefreshes;
                    instance->RefreshFromMaster();
                }
            }
        }
    }
    added->MarkAdded();
    return true;
}

void CICalendarComponentDB::RemoveAllComponents()
{
    for (auto& entry : *this)
        entry.second->MarkRemoved();
    clear();
    instancesOfUid.clear();
}

std::vector<CICalendarComponent*> CICalendarComponentDB::FindInstances(const std::string& uid) const
{
    std::vector<CICalendarComponent*> result;
    auto idsIt = recurrenceIds.find(uid);
    if (idsIt == recurrenceIds.end())
        return result;
    for (const CICalendarDateTime& id : idsIt->second) {
        if (CICalendarComponent* instance = FindInstance(uid, id))
            result.push_back(instance);
    }
    return result;
}

CICalendarComponent* CICalendarComponentDB::FindInstance(const std::string& uid,
                                                         const CICalendarDateTime& recurrenceId) const
{
    auto it = find("r:" + uid + recurrenceId.ToText());
    return it == end() ? nullptr : it->second.get();
}

}  // namespace iCal
