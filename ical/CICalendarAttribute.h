#ifndef ICAL_CICALENDARATTRIBUTE_H
#define ICAL_CICALENDARATTRIBUTE_H

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ical/CICalendarSharedString.h"

namespace iCal {

// The values of one parameter, in order. Nearly every parameter has exactly
// one, which is kept inside the parameter itself; further values (a
// DELEGATED-TO or MEMBER list) go to a list of their own. That is 40 bytes
// where a vector with room for one value inside takes 56, and a calendar
// holds a quarter of a million parameters.
class CICalendarParameterValues {
public:
    template <class List, class Value>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;

        Iterator() = default;
        Iterator(List* list, std::size_t index) : list(list), index(index) {}
        reference operator*() const { return (*list)[index]; }
        pointer operator->() const { return &(*list)[index]; }
        Iterator& operator++()
        {
            ++index;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator old = *this;
            ++index;
            return old;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.list == b.list && a.index == b.index; }
        friend bool operator!=(const Iterator& a, const Iterator& b) { return !(a == b); }

    private:
        List* list = nullptr;
        std::size_t index = 0;
    };
    using value_type = std::string;
    using size_type = std::size_t;
    using iterator = Iterator<CICalendarParameterValues, std::string>;
    using const_iterator = Iterator<const CICalendarParameterValues, const std::string>;

    CICalendarParameterValues() = default;
    CICalendarParameterValues(std::initializer_list<std::string> values)
    {
        for (const std::string& value : values)
            push_back(value);
    }
    CICalendarParameterValues(const CICalendarParameterValues& other) : first(other.first), rest(CopyOf(other.rest)) {}
    CICalendarParameterValues(CICalendarParameterValues&&) noexcept = default;
    CICalendarParameterValues& operator=(const CICalendarParameterValues& other)
    {
        CICalendarParameterValues copy(other);
        *this = std::move(copy);
        return *this;
    }
    CICalendarParameterValues& operator=(CICalendarParameterValues&&) noexcept = default;

    size_type size() const { return !rest ? 0 : 1 + rest->size(); }
    bool empty() const { return !rest; }
    std::string& front() { return first; }
    const std::string& front() const { return first; }
    std::string& operator[](size_type i) { return i == 0 ? first : (*rest)[i - 1]; }
    const std::string& operator[](size_type i) const { return i == 0 ? first : (*rest)[i - 1]; }
    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, size()); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    void push_back(const std::string& value) { Append(std::string(value)); }
    void push_back(std::string&& value) { Append(std::move(value)); }
    // A new empty value at the end, to be filled in place.
    std::string& emplace_back() { return Append(std::string()); }
    void clear()
    {
        first.clear();
        rest.reset();
    }

    friend bool operator==(const CICalendarParameterValues& a, const CICalendarParameterValues& b)
    {
        if (a.size() != b.size())
            return false;
        for (size_type i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }
    friend bool operator!=(const CICalendarParameterValues& a, const CICalendarParameterValues& b) { return !(a == b); }

private:
    using List = std::vector<std::string>;
    // `rest` is null for no values, and points to this shared, always empty
    // list for exactly one value, which then needs no allocation.
    static List* OnlyFirst() noexcept
    {
        static List none;
        return &none;
    }
    struct ReleaseRest {
        void operator()(List* list) const noexcept
        {
            if (list != OnlyFirst())
                delete list;
        }
    };
    using Rest = std::unique_ptr<List, ReleaseRest>;

    static Rest CopyOf(const Rest& rest)
    {
        if (!rest || rest.get() == OnlyFirst())
            return Rest(rest.get());
        return Rest(new List(*rest));
    }
    std::string& Append(std::string&& value)
    {
        if (!rest) {
            first = std::move(value);
            rest.reset(OnlyFirst());
            return first;
        }
        if (rest.get() == OnlyFirst())
            rest.reset(new List);
        rest->push_back(std::move(value));
        return rest->back();
    }

    std::string first;  // the first value, when there is one
    Rest rest;          // the further values (see OnlyFirst)
};

// One property parameter (RFC 5545 section 3.2): a name and its values.
// Owned by value inside its CICalendarProperty. Used by one thread at a time.
class CICalendarAttribute {
public:
    CICalendarAttribute() = default;
    // A parameter with one value.
    CICalendarAttribute(const std::string& name, const std::string& value);
    CICalendarAttribute(const CICalendarAttribute&) = default;
    CICalendarAttribute& operator=(const CICalendarAttribute&) = default;
    CICalendarAttribute(CICalendarAttribute&&) noexcept = default;
    CICalendarAttribute& operator=(CICalendarAttribute&&) noexcept = default;
    virtual ~CICalendarAttribute();

    // The first value, or an empty string when there is none.
    const std::string& FirstValue() const;

    // Writes NAME=v1,v2...; a value holding ":", ";" or "," is enclosed in
    // double quotes (RFC 5545 section 3.1 forbids those bytes unquoted).
    // Nothing inside a value is escaped.
    void Write(std::ostream& stream) const;
    // The same, appended to a string (the writer builds whole content lines).
    void AppendTo(std::string& out) const;

    using ValueList = CICalendarParameterValues;

    CICalendarSharedString name;  // parameter name exactly as read or given
    ValueList values;  // in order; one when made by the reader
};

}  // namespace iCal

#endif
