#include "ical/CICalendarComponentDB.h"

#include "ical/CICalendarComponentRecur.h"

namespace iCal {

CICalendarComponentDB::~CICalendarComponentDB() = default;

bool CICalendarComponentDB::AddComponent(std::unique_ptr<CICalendarComponent>& component)
{
    if (!component)
        return false;
    const std::string key = component->MapKey();
    if (key.empty())
        return false;
    CICalendarComponent* added = component.get();
    auto found = find(key);
    const bool replacing = found != end();
    if (replacing) {
        // RFC 5545 section 3.8.7.4: a greater SEQUENCE is a newer revision.
        if (component->sequence <= found->second->sequence)
            return false;
        found->second = std::move(component);  // the stored one is destroyed here
    } else {
        emplace(key, std::move(component));
    }

    if (auto* recur = dynamic_cast<CICalendarComponentRecur*>(added)) {
        const std::string& uid = recur->uid;
        if (recur->hasRecurrenceId) {
            // The instance it replaces had the same key, so the same UID and
            // RECURRENCE-ID text, and is recorded already: each is listed once.
            if (!replacing)
                recurrenceIds[uid].push_back(recur->recurrenceId);
            auto masterIt = find("u:" + uid);
            if (masterIt != this->end()) {
                if (auto* master = dynamic_cast<CICalendarComponentRecur*>(masterIt->second.get())) {
                    recur->master = master;
                    recur->RefreshFromMaster();
                }
            }
        } else {
            auto idsIt = recurrenceIds.find(uid);
            if (idsIt != recurrenceIds.end()) {
                for (const CICalendarDateTime& id : idsIt->second) {
                    if (auto* instance = dynamic_cast<CICalendarComponentRecur*>(FindInstance(uid, id))) {
                        instance->master = recur;
                        instance->RefreshFromMaster();
                    }
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
