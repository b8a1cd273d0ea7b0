#include "ical/CICalendarComponent.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

#include <Poco/MD5Engine.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarDateTimeValue.h"
#include "ical/CICalendarValue.h"

namespace iCal {

namespace {

// Process-wide count of generated UIDs; part of the hashed text, so two UIDs
// generated within one clock tick still differ.
unsigned long uidCounter = 0;

// Strings, not literals: names this long would otherwise be allocated on the
// heap for every component read.
const std::string PRIVATE_RURL = "X-RIZIDEDI-PRIVATE-RURL";
const std::string PRIVATE_ETAG = "X-RIZIDEDI-PRIVATE-ETAG";

}  // namespace

CICalendarComponent::CICalendarComponent(int32_t calendarRef) : calendarRef(calendarRef) {}

CICalendarComponent::CICalendarComponent(const CICalendarComponent& other)
    : CICalendarComponentBase(other),
      calendarRef(other.calendarRef),
      uid(other.uid),
      sequence(other.sequence),
      loadedSequence(other.loadedSequence),
      rurl(other.rurl),
      etag(other.etag),
      changed(other.changed)
{
    embedded.reserve(other.embedded.size());
    for (const auto& child : other.embedded) {
        std::unique_ptr<CICalendarComponent> copy = child->Clone();
        copy->embedder = this;
        embedded.push_back(std::move(copy));
    }
}

CICalendarComponent::~CICalendarComponent() = default;

void CICalendarComponent::CompleteLoad()
{
    LoadText("UID", uid);
    LoadInteger("SEQUENCE", sequence, VALUE_INTEGER);
    loadedSequence = sequence;
    TakePrivateText(PRIVATE_RURL, rurl);
    TakePrivateText(PRIVATE_ETAG, etag);
}

void CICalendarComponent::AppendTo(std::string& out, bool forCache)
{
    out += BeginLine();
    out += "\r\n";
    AppendProperties(out);
    if (forCache) {
        // The synchronisation tags follow the other properties whatever
        // their names, so a cache reader finds them last.
        if (!rurl.empty())
            CICalendarProperty(PRIVATE_RURL, rurl).AppendLine(out);
        if (!etag.empty())
            CICalendarProperty(PRIVATE_ETAG, etag).AppendLine(out);
    }
    for (auto& child : embedded)
        child->AppendTo(out, forCache);
    out += EndLine();
    out += "\r\n";
}

bool CICalendarComponent::Write(std::ostream& stream, bool forCache)
{
    std::string out;
    AppendTo(out, forCache);
    stream.write(out.data(), static_cast<std::streamsize>(out.size()));
    return stream.good();
}

bool CICalendarComponent::AddComponent(std::unique_ptr<CICalendarComponent>&)
{
    return false;
}

void CICalendarComponent::Embed(std::unique_ptr<CICalendarComponent>& component)
{
    component->embedder = this;
    embedded.push_back(std::move(component));
}

const std::string& CICalendarComponent::MapKey() const
{
    return uid;
}

std::string CICalendarComponent::MasterKey() const
{
    return uid;
}

std::string CICalendarComponent::GenerateUid() const
{
    const std::string domain = uidDomain.empty() ? "belvorine" : uidDomain;
    ++uidCounter;
    char text[96];
    std::snprintf(text, sizeof text, "%lu.%lu.%lu", static_cast<unsigned long>(std::clock()),
                  static_cast<unsigned long>(std::time(nullptr)), uidCounter);
    Poco::MD5Engine md5;
    md5.update(std::string(text) + domain);
    const Poco::DigestEngine::Digest& digest = md5.digest();
    // UUID text form (RFC 4122 section 3): 8-4-4-4-12 lower-case hex digits.
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out += '-';
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 0x0F];
    }
    out += '@';
    out += domain;
    return out;
}

void CICalendarComponent::AssignUid(const std::string& newUid)
{
    uid = newUid.empty() ? GenerateUid() : newUid;
    RemoveProperties("UID");
    AddProperty(CICalendarProperty("UID", uid));
}

void CICalendarComponent::StampNow()
{
    RemoveProperties("DTSTAMP");
    AddProperty(CICalendarProperty("DTSTAMP", CICalendarDateTime::CurrentUtc()));
}

void CICalendarComponent::TouchLastModified()
{
    RemoveProperties("LAST-MODIFIED");
    AddProperty(CICalendarProperty("LAST-MODIFIED", CICalendarDateTime::CurrentUtc()));
}

void CICalendarComponent::MarkAdded()
{
    for (auto& child : embedded)
        child->MarkAdded();
    changed = true;
}

void CICalendarComponent::MarkRemoved()
{
    for (auto& child : embedded)
        child->MarkRemoved();
    changed = true;
}

void CICalendarComponent::MarkDuplicated()
{
    RemoveProperties("UID");
    RemoveProperties("SEQUENCE");
    RemoveProperties("DTSTAMP");
    uid.clear();
    sequence = 0;
    loadedSequence = 0;
    for (auto& child : embedded)
        child->MarkDuplicated();
    etag.clear();
    rurl.clear();
    changed = true;
}

void CICalendarComponent::MarkChanged()
{
    // SEQUENCE is an INTEGER (RFC 5545 section 3.8.7.4); it stays at its
    // maximum rather than overflow.
    if (sequence < INT32_MAX)
        ++sequence;
    RemoveProperties("SEQUENCE");
    AddProperty(CICalendarProperty("SEQUENCE", sequence));
    TouchLastModified();
    for (auto& child : embedded)
        child->MarkChanged();
    changed = true;
    if (CICalendar* calendar = CICalendar::FindCalendar(calendarRef))
        calendar->RecordChange(*this);
}

bool CICalendarComponent::IsMaster() const
{
    return true;
}

void CICalendarComponent::CollectTzids(std::set<std::string>& tzids) const
{
    for (const auto& entry : properties) {
        // The type code first: it rules out most values without a cast.
        const CICalendarValue* value = entry.value.get();
        if (!value || value->ValueType() != VALUE_DATE_TIME)
            continue;
        const auto* v = dynamic_cast<const CICalendarDateTimeValue*>(value);
        if (!v)
            continue;
        const CICalendarDateTime& dt = v->dateTime;
        if (!dt.dateOnly && !dt.zone.utc && !dt.zone.tzid.empty())
            tzids.insert(dt.zone.tzid);
    }
}

void CICalendarComponent::EndOnNextDay(const CICalendarDateTime& start, CICalendarDateTime& end, bool& durationGiven)
{
    end = start;
    end.day += 1;
    end.CarryFields();
    durationGiven = start.dateOnly;
    if (!start.dateOnly) {
        end.hours = 0;
        end.minutes = 0;
        end.seconds = 0;
        end.InvalidateEpoch();
    }
}

}  // namespace iCal
