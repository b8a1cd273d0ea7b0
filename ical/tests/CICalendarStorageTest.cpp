#include "ical/CICalendarAttribute.h"
#include "ical/CICalendarDateTimeValue.h"
#include "ical/CICalendarProperty.h"
#include "ical/CICalendarNameMultimap.h"
#include "ical/CICalendarSharedString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
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

namespace {

using iCal::CICalendarSharedString;

// Texts no other test uses, so that each test meets them fresh.
std::string Fresh(const std::string& tag, int n)
{
    return "X-SHARED-" + tag + "-" + std::to_string(n);
}

TEST(CICalendarSharedString, EqualTextsShareOneInstanceAndCompareAsStrings)
{
    const CICalendarSharedString a(Fresh("equal", 1));
    const CICalendarSharedString b(std::string(Fresh("equal", 1)));
    CICalendarSharedString c;
    c = Fresh("equal", 1).c_str();
    const CICalendarSharedString other(Fresh("equal", 2));

    EXPECT_TRUE(a.IsShared());
    EXPECT_EQ(&a.str(), &b.str());
    EXPECT_EQ(&a.str(), &c.str());
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == other);
    EXPECT_TRUE(a != other);
    EXPECT_TRUE(a == Fresh("equal", 1));
    EXPECT_TRUE(Fresh("equal", 1) == a);
    EXPECT_TRUE(a != "X-SHARED-equal-");
    EXPECT_TRUE(a < other);

    // A default string is the shared empty text, the same as one made from "".
    const CICalendarSharedString none;
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(none == CICalendarSharedString(""));
    EXPECT_EQ(&none.str(), &CICalendarSharedString(std::string()).str());
}

TEST(CICalendarSharedString, ATextTooLongToBeANameIsOwnedAndCopiedWhole)
{
    const std::string longText(CICalendarSharedString::kMaxSharedLength + 1, 'n');
    const std::string longest(CICalendarSharedString::kMaxSharedLength, 'm');

    CICalendarSharedString owned(longText);
    EXPECT_FALSE(owned.IsShared());
    EXPECT_TRUE(CICalendarSharedString(longest).IsShared());

    CICalendarSharedString copy(owned);
    EXPECT_FALSE(copy.IsShared());
    EXPECT_NE(&copy.str(), &owned.str());
    EXPECT_TRUE(copy == owned);
    EXPECT_EQ(longText, copy.str());

    // Between owned and shared texts in every direction; the sanitizers
    // see a leak or a double free here.
    copy = Fresh("long", 1);
    EXPECT_TRUE(copy.IsShared());
    copy = owned;
    EXPECT_EQ(longText, copy.str());
    CICalendarSharedString moved(std::move(owned));
    EXPECT_EQ(longText, moved.str());
    EXPECT_TRUE(owned.empty());  // NOLINT(bugprone-use-after-move): a moved-from string is empty
    moved = std::move(copy);
    EXPECT_EQ(longText, moved.str());
    moved = moved.str();  // assigning its own text
    EXPECT_EQ(longText, moved.str());
}

// Runs in a child process: filling the shared set would change what every
// later test in this process sees.
TEST(CICalendarSharedString, OnceTheSharedSetIsFullNewTextsAreOwnedAndStillCompareEqual)
{
    EXPECT_EXIT(
        {
            const CICalendarSharedString early(Fresh("full", -1));
            int firstOwned = -1;
            for (int n = 0; n <= static_cast<int>(CICalendarSharedString::kMaxShared) && firstOwned < 0; ++n)
                if (!CICalendarSharedString(Fresh("full", n)).IsShared())
                    firstOwned = n;
            const CICalendarSharedString late(Fresh("full", firstOwned));
            const bool sound = firstOwned >= 0 && !late.IsShared() && late == Fresh("full", firstOwned) &&
                               late == CICalendarSharedString(Fresh("full", firstOwned)) &&
                               CICalendarSharedString(Fresh("full", -1)).IsShared() &&
                               &CICalendarSharedString(Fresh("full", -1)).str() == &early.str() &&
                               CICalendarSharedString("").IsShared();
            std::exit(sound ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(CICalendarSharedString, ThreadsSharingTheSameNewTextsGetTheSameInstances)
{
    constexpr int kThreads = 4;
    constexpr int kTexts = 300;
    std::vector<std::vector<CICalendarSharedString>> made(kThreads, std::vector<CICalendarSharedString>(kTexts));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &made] {
            for (int n = 0; n < kTexts; ++n) {
                // Each thread walks the texts from another starting point.
                const int which = (n + t * 77) % kTexts;
                made[t][which] = Fresh("threads", which);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int n = 0; n < kTexts; ++n) {
        EXPECT_EQ(Fresh("threads", n), made[0][n].str());
        for (int t = 1; t < kThreads; ++t)
            EXPECT_EQ(&made[0][n].str(), &made[t][n].str()) << n;
    }
}

}  // namespace

namespace {

// What keeps a read calendar small: the names and zone identifiers it
// repeats in every event are stored once.
TEST(CICalendarSharedString, PropertiesReadFromTextShareTheirNamesParameterNamesAndZones)
{
    iCal::CICalendarProperty first;
    iCal::CICalendarProperty second;
    ASSERT_TRUE(first.ReadLine(std::string("DTSTART;X-SHARED-PARAM=1;TZID=X-Shared/Zone:20250712T130000")));
    ASSERT_TRUE(second.ReadLine(std::string("DTSTART;X-SHARED-PARAM=2;TZID=X-Shared/Zone:20250713T130000")));

    EXPECT_EQ(&first.name.str(), &second.name.str());
    EXPECT_EQ(&first.attributes.begin()->name.str(), &second.attributes.begin()->name.str());
    const auto& a = static_cast<const iCal::CICalendarDateTimeValue&>(*first.value).dateTime;
    const auto& b = static_cast<const iCal::CICalendarDateTimeValue&>(*second.value).dateTime;
    EXPECT_EQ("X-Shared/Zone", a.zone.tzid);
    EXPECT_EQ(&a.zone.tzid.str(), &b.zone.tzid.str());
}

}  // namespace
