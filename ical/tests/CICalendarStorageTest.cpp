#include "ical/CICalendarAttribute.h"
#include "ical/CICalendarNameMultimap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using iCal::CICalendarAttribute;
using Map = iCal::NameMultimap<CICalendarAttribute>;

// "name=value" for each entry, in iteration order.
std::vector<std::string> Contents(const Map& map)
{
    std::vector<std::string> out;
    for (const CICalendarAttribute& entry : map)
        out.push_back(entry.name + "=" + entry.FirstValue());
    return out;
}

// The order a map must give: by name, byte-wise, and in adding order within
// a name.
std::vector<std::string> Expected(const std::vector<std::pair<std::string, std::string>>& added)
{
    auto sorted = added;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (const auto& [name, value] : sorted)
        out.push_back(name + "=" + value);
    return out;
}

TEST(NameMultimap, EntriesAddedOneByOneOrInBulkComeOutByNameThenInAddingOrder)
{
    const std::vector<std::string> names = {"ROLE", "CN", "X-b", "CN", "ROLE", "a", "CUTYPE", "CN", "Z", "ROLE"};
    std::vector<std::pair<std::string, std::string>> added;
    Map oneByOne;
    for (int i = 0; i < 40; ++i) {  // enough to grow the storage several times
        const std::string& name = names[static_cast<std::size_t>(i) % names.size()];
        added.emplace_back(name, std::to_string(i));
        oneByOne.insert(CICalendarAttribute(name, std::to_string(i)));
    }
    EXPECT_EQ(Contents(oneByOne), Expected(added));

    // In bulk, onto a map that already has entries of the same names.
    Map bulk;
    bulk.insert(CICalendarAttribute("CN", "first"));
    std::vector<CICalendarAttribute> more;
    for (int i = 0; i < 12; ++i)
        more.emplace_back(names[static_cast<std::size_t>(i) % names.size()], "b" + std::to_string(i));
    bulk.append(more.begin(), more.end());
    std::vector<std::pair<std::string, std::string>> bulkAdded = {{"CN", "first"}};
    for (int i = 0; i < 12; ++i)
        bulkAdded.emplace_back(names[static_cast<std::size_t>(i) % names.size()], "b" + std::to_string(i));
    EXPECT_EQ(Contents(bulk), Expected(bulkAdded));

    EXPECT_EQ(oneByOne.find("CN")->FirstValue(), "1");
    EXPECT_EQ(oneByOne.count("ROLE"), 12u);
    EXPECT_EQ(oneByOne.find("MISSING"), oneByOne.end());
}

TEST(NameMultimap, ErasingByNameOrPositionKeepsTheRestInOrder)
{
    Map map;
    for (const char* name : {"B", "A", "C", "B", "A"})
        map.insert(CICalendarAttribute(name, name + std::string("1")));
    EXPECT_EQ(map.erase("B"), 2u);
    EXPECT_EQ(map.erase("B"), 0u);
    EXPECT_EQ(Contents(map), (std::vector<std::string>{"A=A1", "A=A1", "C=C1"}));
    auto next = map.erase(map.begin() + 1);
    EXPECT_EQ(next->name, "C");
    EXPECT_EQ(Contents(map), (std::vector<std::string>{"A=A1", "C=C1"}));
    map.clear();
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.begin(), map.end());
    map.insert(CICalendarAttribute("D", "again"));  // usable after clear
    EXPECT_EQ(Contents(map), (std::vector<std::string>{"D=again"}));
}

TEST(NameMultimap, CopiesAreDeepAndMovesLeaveTheSourceEmpty)
{
    Map original;
    for (const char* name : {"CN", "ROLE", "CN"})
        original.insert(CICalendarAttribute(name, "v"));
    Map copy(original);
    copy.begin()->values.front() = "changed";
    copy.insert(CICalendarAttribute("A", "new"));
    EXPECT_EQ(Contents(original), (std::vector<std::string>{"CN=v", "CN=v", "ROLE=v"}));
    EXPECT_EQ(Contents(copy), (std::vector<std::string>{"A=new", "CN=changed", "CN=v", "ROLE=v"}));

    Map assigned;
    assigned.insert(CICalendarAttribute("OLD", "gone"));
    assigned = copy;
    EXPECT_EQ(Contents(assigned), Contents(copy));
    const Map& self = assigned;
    assigned = self;
    EXPECT_EQ(Contents(assigned), Contents(copy));
    assigned = Map();
    EXPECT_TRUE(assigned.empty());

    Map moved(std::move(copy));
    EXPECT_EQ(moved.size(), 4u);
    EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from map is empty
    Map target;
    target = std::move(moved);
    EXPECT_EQ(target.size(), 4u);
    EXPECT_TRUE(moved.empty());  // NOLINT(bugprone-use-after-move)
}

}  // namespace

namespace {

using iCal::CICalendarParameterValues;

std::vector<std::string> Listed(const CICalendarParameterValues& values)
{
    return std::vector<std::string>(values.begin(), values.end());
}

TEST(CICalendarParameterValues, NoneOneOrManyValuesKeepTheirOrderThroughCopiesAndMoves)
{
    for (std::size_t count : {0u, 1u, 2u, 5u}) {
        SCOPED_TRACE(count);
        CICalendarParameterValues values;
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < count; ++i) {
            // Long enough to live outside the string itself.
            expected.push_back("mailto:someone-" + std::to_string(i) + "@example.com");
            if (i % 2 == 0)
                values.push_back(expected.back());
            else
                values.emplace_back() = expected.back();
        }
        EXPECT_EQ(values.size(), count);
        EXPECT_EQ(values.empty(), count == 0);
        EXPECT_EQ(Listed(values), expected);

        CICalendarParameterValues copy(values);
        EXPECT_EQ(Listed(copy), expected);
        EXPECT_TRUE(copy == values);
        copy.push_back("added");
        EXPECT_EQ(Listed(values), expected);  // the copy shares nothing
        EXPECT_FALSE(copy == values);

        CICalendarParameterValues assigned{"old", "values"};
        assigned = values;
        EXPECT_EQ(Listed(assigned), expected);
        CICalendarParameterValues moved(std::move(assigned));
        EXPECT_EQ(Listed(moved), expected);
        EXPECT_TRUE(assigned.empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
        moved.clear();
        EXPECT_TRUE(moved.empty());
        moved.push_back("again");
        EXPECT_EQ(Listed(moved), std::vector<std::string>{"again"});
    }
}

TEST(CICalendarParameterValues, AParameterWithSeveralValuesIsWrittenAndCopiedWhole)
{
    CICalendarAttribute member("MEMBER", "mailto:a@example.com");
    member.values.push_back("mailto:b@example.com");
    const CICalendarAttribute copy = member;
    std::string text;
    copy.AppendTo(text);
    EXPECT_EQ(text, "MEMBER=\"mailto:a@example.com\",\"mailto:b@example.com\"");
    EXPECT_EQ(copy.FirstValue(), "mailto:a@example.com");
    EXPECT_EQ(CICalendarAttribute().FirstValue(), "");
}

}  // namespace
