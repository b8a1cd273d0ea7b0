#ifndef ICAL_CICALENDARNAMEMULTIMAP_H
#define ICAL_CICALENDARNAMEMULTIMAP_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace iCal {

namespace detail {

// The storage of a NameMultimap: a vector that is one pointer wide. Size
// and capacity live in front of the elements, in the same allocation, and
// an empty array allocates nothing. Every property holds a map of its
// parameters, most of them empty, and a calendar holds hundreds of
// thousands of properties, so the two words that a std::vector keeps in
// its owner are worth saving.
template <class T>
class CompactArray {
public:
    CompactArray() noexcept = default;
    CompactArray(const CompactArray& other)
    {
        if (other.empty())
            return;
        Reallocate(other.size());
        try {
            for (const T& item : other)
                push_back(item);
        } catch (...) {
            clear();
            ::operator delete(block);
            throw;
        }
    }
    CompactArray(CompactArray&& other) noexcept : block(other.block) { other.block = nullptr; }
    CompactArray& operator=(const CompactArray& other)
    {
        if (this != &other) {
            CompactArray copy(other);
            swap(copy);
        }
        return *this;
    }
    CompactArray& operator=(CompactArray&& other) noexcept
    {
        CompactArray taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~CompactArray()
    {
        clear();
        ::operator delete(block);
    }
    void swap(CompactArray& other) noexcept { std::swap(block, other.block); }

    T* begin() noexcept { return block ? Items() : nullptr; }
    T* end() noexcept { return block ? Items() + block->size : nullptr; }
    const T* begin() const noexcept { return block ? Items() : nullptr; }
    const T* end() const noexcept { return block ? Items() + block->size : nullptr; }
    std::size_t size() const noexcept { return block ? block->size : 0; }
    std::size_t capacity() const noexcept { return block ? block->capacity : 0; }
    bool empty() const noexcept { return size() == 0; }

    void clear() noexcept
    {
        if (!block)
            return;
        std::destroy(Items(), Items() + block->size);
        block->size = 0;
    }
    void reserve(std::size_t wanted)
    {
        if (wanted > capacity())
            Reallocate(wanted);
    }
    template <class U>
    void push_back(U&& item)
    {
        if (size() == capacity())
            Reallocate(Grown());
        ::new (static_cast<void*>(Items() + block->size)) T(std::forward<U>(item));
        ++block->size;
    }
    // Inserts before `at`; the elements from there on move up by one.
    T* insert(T* at, T&& item)
    {
        const std::size_t index = static_cast<std::size_t>(at - begin());
        push_back(std::move(item));
        std::rotate(Items() + index, Items() + block->size - 1, Items() + block->size);
        return Items() + index;
    }
    T* erase(T* first, T* last)
    {
        if (first == last)
            return first;
        T* kept = std::move(last, end(), first);
        std::destroy(kept, end());
        block->size -= static_cast<std::uint32_t>(last - first);
        return first;
    }

private:
    struct alignas(alignof(T) > 8 ? alignof(T) : 8) Header {
        std::uint32_t size;
        std::uint32_t capacity;
    };
    static_assert(std::is_nothrow_move_constructible<T>::value, "elements are moved when the array grows");

    T* Items() const noexcept { return reinterpret_cast<T*>(block + 1); }
    std::size_t Grown() const { return capacity() == 0 ? 1 : capacity() * 2; }
    void Reallocate(std::size_t newCapacity)
    {
        if (newCapacity > UINT32_MAX)
            throw std::length_error("NameMultimap: too many entries");
        auto* fresh = static_cast<Header*>(::operator new(sizeof(Header) + newCapacity * sizeof(T)));
        fresh->size = 0;
        fresh->capacity = static_cast<std::uint32_t>(newCapacity);
        if (block) {
            T* to = reinterpret_cast<T*>(fresh + 1);
            for (T* from = Items(); from != Items() + block->size; ++from, ++to) {
                ::new (static_cast<void*>(to)) T(std::move(*from));
                from->~T();
            }
            fresh->size = block->size;
            ::operator delete(block);
        }
        block = fresh;
    }

    Header* block = nullptr;
};

}  // namespace detail

// An ordered multimap from a name to objects that carry that name in their
// own `name` member (properties, parameters). Names compare byte-wise, so
// iteration is in name order, and objects of one name keep the order in
// which they were added.
//
// The entries live in one sorted vector: a calendar holds hundreds of
// thousands of properties, and a node per entry plus a second copy of its
// name as the key cost more memory and time than the properties themselves.
// The key is the object's own name: to rename an entry, erase it and add it
// again. Adding or erasing invalidates iterators and pointers into the map.
template <class T>
class NameMultimap {
public:
    using value_type = T;
    using size_type = std::size_t;
    using iterator = T*;
    using const_iterator = const T*;

    iterator begin() { return entries.begin(); }
    iterator end() { return entries.end(); }
    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }
    const_iterator cbegin() const { return entries.begin(); }
    const_iterator cend() const { return entries.end(); }
    size_type size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }
    void clear() { entries.clear(); }

    // The first entry of that name (the earliest added), or end().
    iterator find(const std::string& name) { return Found(lower_bound(name), name); }
    const_iterator find(const std::string& name) const { return Found(lower_bound(name), name); }
    size_type count(const std::string& name) const
    {
        auto range = equal_range(name);
        return static_cast<size_type>(range.second - range.first);
    }
    iterator lower_bound(const std::string& name)
    {
        return std::lower_bound(entries.begin(), entries.end(), name, NameBefore{});
    }
    const_iterator lower_bound(const std::string& name) const
    {
        return std::lower_bound(entries.begin(), entries.end(), name, NameBefore{});
    }
    std::pair<iterator, iterator> equal_range(const std::string& name)
    {
        return std::equal_range(entries.begin(), entries.end(), name, NameBefore{});
    }
    std::pair<const_iterator, const_iterator> equal_range(const std::string& name) const
    {
        return std::equal_range(entries.begin(), entries.end(), name, NameBefore{});
    }

    // Adds after every entry of the same name.
    iterator insert(T item)
    {
        auto at = std::upper_bound(entries.begin(), entries.end(), item.name, NameBefore{});
        return entries.insert(at, std::move(item));
    }

    // Adds many entries at once, in the order given, after the present ones
    // of the same names. The storage grows once, to exactly the new size,
    // and the whole is sorted once: what a reader that collects a
    // component's lines first needs, in time proportional to n log n
    // however the names are ordered. Requires random-access iterators.
    template <class Iterator>
    void append(Iterator first, Iterator last)
    {
        const std::size_t n = static_cast<std::size_t>(last - first);
        if (entries.empty()) {
            // The usual case (a component just read): the order is worked out
            // on indices, so that every entry is moved exactly once.
            thread_local std::vector<std::uint32_t> order;
            order.resize(n);
            for (std::size_t i = 0; i < n; ++i)
                order[i] = static_cast<std::uint32_t>(i);
            auto before = [&first](std::uint32_t a, std::uint32_t b) { return Less(first[a].name, first[b].name); };
            if (n > 32) {
                std::stable_sort(order.begin(), order.end(), before);
            } else {
                // A dozen or two properties: insertion sort, which is stable
                // and needs no buffer.
                for (std::size_t i = 1; i < n; ++i) {
                    const std::uint32_t moving = order[i];
                    std::size_t j = i;
                    for (; j > 0 && before(moving, order[j - 1]); --j)
                        order[j] = order[j - 1];
                    order[j] = moving;
                }
            }
            entries.reserve(n);
            for (std::uint32_t i : order)
                entries.push_back(std::move(first[i]));
            return;
        }
        entries.reserve(entries.size() + n);
        for (; first != last; ++first)
            entries.push_back(std::move(*first));
        std::stable_sort(entries.begin(), entries.end(), ByName{});
    }

    // Erases every entry of that name; answers how many there were.
    size_type erase(const std::string& name)
    {
        auto range = equal_range(name);
        const auto n = static_cast<size_type>(range.second - range.first);
        entries.erase(range.first, range.second);
        return n;
    }
    iterator erase(const_iterator position)
    {
        T* at = begin() + (position - cbegin());
        return entries.erase(at, at + 1);
    }

private:
    // Byte-wise, as std::string compares. Most names already differ in
    // their first byte, which is compared here without a library call.
    static bool Less(const std::string& a, const std::string& b)
    {
        if (!a.empty() && !b.empty() && a[0] != b[0])
            return static_cast<unsigned char>(a[0]) < static_cast<unsigned char>(b[0]);
        return a < b;
    }
    struct NameBefore {
        bool operator()(const T& item, const std::string& name) const { return Less(item.name, name); }
        bool operator()(const std::string& name, const T& item) const { return Less(name, item.name); }
    };
    struct ByName {
        bool operator()(const T& a, const T& b) const { return Less(a.name, b.name); }
    };

    const_iterator Found(const_iterator it, const std::string& name) const
    {
        return it != entries.end() && it->name == name ? it : entries.end();
    }
    iterator Found(iterator it, const std::string& name)
    {
        return it != entries.end() && it->name == name ? it : entries.end();
    }

    detail::CompactArray<T> entries;
};

}  // namespace iCal

#endif
