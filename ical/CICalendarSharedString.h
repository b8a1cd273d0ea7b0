#ifndef ICAL_CICALENDARSHAREDSTRING_H
#define ICAL_CICALENDARSHAREDSTRING_H

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace iCal {

// An immutable string for the texts that a calendar repeats hundreds of
// thousands of times from a small vocabulary: property names, parameter
// names and time-zone identifiers. A text seen before is not stored again:
// every copy points to one process-wide instance, so the holder is one
// pointer wide (a std::string is four) and needs no allocation of its own.
//
// The shared instances are never freed, so their number and length are
// capped: once the cap is reached, or for a text too long to be a name, a
// string owns a private copy instead. Hostile input can therefore fill the
// shared set, but never grow it beyond the cap; later texts are then merely
// stored once per holder, as any string would be. Byte-wise equality, never
// case folding.
//
// Sharing a text and reading a shared one are safe from several threads;
// one holder is used by one thread at a time, as any string.
class CICalendarSharedString {
public:
    CICalendarSharedString() noexcept;
    CICalendarSharedString(std::string_view text) : bits(Make(text)) {}
    CICalendarSharedString(const std::string& text) : bits(Make(text)) {}
    CICalendarSharedString(const char* text) : bits(Make(text)) {}
    CICalendarSharedString(const CICalendarSharedString& other) : bits(CopyOf(other.bits)) {}
    CICalendarSharedString(CICalendarSharedString&& other) noexcept : bits(other.bits) { other.bits = EmptyBits(); }
    CICalendarSharedString& operator=(const CICalendarSharedString& other)
    {
        if (this != &other)
            Replace(CopyOf(other.bits));
        return *this;
    }
    CICalendarSharedString& operator=(CICalendarSharedString&& other) noexcept
    {
        if (this != &other) {
            Replace(other.bits);
            other.bits = EmptyBits();
        }
        return *this;
    }
    CICalendarSharedString& operator=(std::string_view text) { return Assign(text); }
    CICalendarSharedString& operator=(const std::string& text) { return Assign(text); }
    CICalendarSharedString& operator=(const char* text) { return Assign(text); }
    ~CICalendarSharedString() { Release(bits); }

    const std::string& str() const noexcept { return *reinterpret_cast<const std::string*>(bits & ~kOwned); }
    operator const std::string&() const noexcept { return str(); }

    bool empty() const noexcept { return str().empty(); }
    std::size_t size() const noexcept { return str().size(); }
    char operator[](std::size_t i) const noexcept { return str()[i]; }

    // True when this holder points to the process-wide instance of its text.
    bool IsShared() const noexcept { return (bits & kOwned) == 0; }

    friend bool operator==(const CICalendarSharedString& a, const CICalendarSharedString& b) noexcept
    {
        // Two shared instances are equal only when they are the same one.
        if (a.IsShared() && b.IsShared())
            return a.bits == b.bits;
        return a.str() == b.str();
    }
    friend bool operator==(const CICalendarSharedString& a, const std::string& b) noexcept { return a.str() == b; }
    friend bool operator==(const std::string& a, const CICalendarSharedString& b) noexcept { return b == a; }
    friend bool operator==(const CICalendarSharedString& a, const char* b) noexcept { return a.str() == b; }
    friend bool operator==(const char* a, const CICalendarSharedString& b) noexcept { return b == a; }
    friend bool operator!=(const CICalendarSharedString& a, const CICalendarSharedString& b) noexcept { return !(a == b); }
    friend bool operator!=(const CICalendarSharedString& a, const std::string& b) noexcept { return !(a == b); }
    friend bool operator!=(const std::string& a, const CICalendarSharedString& b) noexcept { return !(b == a); }
    friend bool operator!=(const CICalendarSharedString& a, const char* b) noexcept { return !(a == b); }
    friend bool operator!=(const char* a, const CICalendarSharedString& b) noexcept { return !(b == a); }
    friend bool operator<(const CICalendarSharedString& a, const CICalendarSharedString& b) noexcept { return a.str() < b.str(); }
    friend std::string operator+(const std::string& a, const CICalendarSharedString& b) { return a + b.str(); }
    friend std::string operator+(const CICalendarSharedString& a, const char* b) { return a.str() + b; }
    friend std::ostream& operator<<(std::ostream& stream, const CICalendarSharedString& text) { return stream << text.str(); }

    // The limits of the shared set (see above).
    static constexpr std::size_t kMaxShared = 4096;
    static constexpr std::size_t kMaxSharedLength = 128;

private:
    // The pointer to the text's std::string; the low bit marks a private copy.
    static constexpr std::uintptr_t kOwned = 1;

    static std::uintptr_t EmptyBits() noexcept;
    static std::uintptr_t Make(std::string_view text);
    static std::uintptr_t CopyOf(std::uintptr_t bits);
    static void Release(std::uintptr_t bits) noexcept
    {
        if (bits & kOwned)
            delete reinterpret_cast<std::string*>(bits & ~kOwned);
    }
    void Replace(std::uintptr_t newBits) noexcept
    {
        Release(bits);
        bits = newBits;
    }
    CICalendarSharedString& Assign(std::string_view text)
    {
        Replace(Make(text));
        return *this;
    }

    std::uintptr_t bits;
};

}  // namespace iCal

#endif
