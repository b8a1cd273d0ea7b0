#include "ical/CICalendarSharedString.h"

#include <atomic>
#include <functional>
#include <mutex>

namespace iCal {

namespace {

// The process-wide set of shared texts: an open-addressing table whose
// slots are filled once and never emptied, so a lookup reads it without a
// lock (a calendar looks up several hundred thousand names as it is read);
// only adding a text takes the lock. Twice as many slots as texts keeps the
// probe sequences short.
class SharedTexts {
public:
    // The empty text comes first, so that it is shared however full the
    // set becomes: every default-made string points to it.
    SharedTexts() { Find(std::string_view()); }

    // The shared instance of the text, or null when it may not be shared.
    const std::string* Find(std::string_view text)
    {
        if (text.size() > CICalendarSharedString::kMaxSharedLength)
            return nullptr;
        const std::size_t hash = std::hash<std::string_view>{}(text);
        std::size_t slot = hash & kMask;
        for (;;) {
            const std::string* entry = slots[slot].load(std::memory_order_acquire);
            if (!entry)
                return full.load(std::memory_order_acquire) ? nullptr : Add(text, slot);
            if (std::string_view(*entry) == text)
                return entry;
            slot = (slot + 1) & kMask;
        }
    }

private:
    static constexpr std::size_t kSlots = 2 * CICalendarSharedString::kMaxShared;
    static constexpr std::size_t kMask = kSlots - 1;
    static_assert((kSlots & kMask) == 0, "the slot count is a power of two");

    // Adds the text at the first empty slot from `slot` on, unless another
    // thread added it meanwhile or the set is full.
    const std::string* Add(std::string_view text, std::size_t slot)
    {
        std::lock_guard<std::mutex> hold(adding);
        for (;;) {
            const std::string* entry = slots[slot].load(std::memory_order_acquire);
            if (!entry)
                break;
            if (std::string_view(*entry) == text)
                return entry;
            slot = (slot + 1) & kMask;
        }
        if (count == CICalendarSharedString::kMaxShared)
            return nullptr;
        const std::string* entry = new std::string(text);  // kept for the life of the process
        slots[slot].store(entry, std::memory_order_release);
        if (++count == CICalendarSharedString::kMaxShared)
            full.store(true, std::memory_order_release);
        return entry;
    }

    std::atomic<const std::string*> slots[kSlots] = {};
    std::mutex adding;
    std::size_t count = 0;
    // Set with the last text the set takes: from then on a text not found
    // is owned without taking the lock.
    std::atomic<bool> full{false};
};

SharedTexts& Texts()
{
    static SharedTexts* texts = new SharedTexts;  // never destroyed: holders may outlive static destruction
    return *texts;
}

const std::string& EmptyText()
{
    static const std::string* const empty = Texts().Find(std::string_view());
    return *empty;
}

}  // namespace

CICalendarSharedString::CICalendarSharedString() noexcept : bits(EmptyBits()) {}

std::uintptr_t CICalendarSharedString::EmptyBits() noexcept
{
    return reinterpret_cast<std::uintptr_t>(&EmptyText());
}

std::uintptr_t CICalendarSharedString::Make(std::string_view text)
{
    if (const std::string* shared = Texts().Find(text))
        return reinterpret_cast<std::uintptr_t>(shared);
    return reinterpret_cast<std::uintptr_t>(new std::string(text)) | kOwned;
}

std::uintptr_t CICalendarSharedString::CopyOf(std::uintptr_t bits)
{
    if (!(bits & kOwned))
        return bits;
    return reinterpret_cast<std::uintptr_t>(new std::string(*reinterpret_cast<const std::string*>(bits & ~kOwned))) | kOwned;
}

}  // namespace iCal
