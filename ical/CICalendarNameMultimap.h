#ifndef ICAL_CICALENDARNAMEMULTIMAP_H
#define ICAL_CICALENDARNAMEMULTIMAP_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace iCal {

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
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    iterator begin() { return entries.begin(); }
    iterator end() { return entries.end(); }
    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }
    const_iterator cbegin() const { return entries.cbegin(); }
    const_iterator cend() const { return entries.cend(); }
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
    iterator erase(const_iterator position) { return entries.erase(position); }

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

    std::vector<T> entries;
};

}  // namespace iCal

#endif
