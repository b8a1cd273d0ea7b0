#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ical/CICalendarTextLine.h"

using iCal::AppendFoldedLine;
using iCal::NextToken;
using iCal::ReadUnfoldedLine;

namespace {

std::vector<std::string> Unfold(const std::string& text)
{
    std::istringstream in(text);
    std::string lookahead;
    std::string line;
    std::vector<std::string> lines;
    // As the reader does: stop once the text has ended.
    while (ReadUnfoldedLine(in, lookahead, line)) {
        lines.push_back(line);
        if (in.eof())
            break;
    }
    return lines;
}

std::string Fold(const std::string& line)
{
    std::string out;
    AppendFoldedLine(out, line);
    return out;
}

// Joins folded output back: drops each CR LF and the space after it.
std::string Join(const std::string& folded)
{
    std::string out;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (folded.compare(i, 3, "\r\n ") == 0) {
            i += 2;
            continue;
        }
        if (folded.compare(i, 2, "\r\n") == 0) {
            ++i;
            continue;
        }
        out += folded[i];
    }
    return out;
}

std::vector<std::string> PhysicalLines(const std::string& folded)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = folded.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(folded.substr(from, at - from));
    return lines;
}

}  // namespace

TEST(ReadUnfoldedLine, JoinsContinuationsAndHandlesLineEnds)
{
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"A:1\r\n b\r\nB:2\r\n", {"A:1b", "B:2"}},
        {"A:1\n\tb\nB:2\n", {"A:1b", "B:2"}},
        {"A:1\r\n  two\r\n", {"A:1 two"}},              // one of two spaces kept
        {"A:1\r\nB:2\r\n", {"A:1", "B:2"}},
        {"A:1\n\nB:2\n", {"A:1", "B:2"}},               // empty line ends a fold, skipped
        {"\nA:1\n", {"", "A:1"}},                       // first line of a call may be empty
        {"A:1\r\nB:cut off", {"A:1"}},                  // line without line feed never returned
        {"A:cut off", {}},
        {"A:1\r\r\n", {"A:1\r"}},                       // only one CR removed
        {"A:\xE3\x81\x82\r\n \xE3\x81\x84\r\n", {"A:\xE3\x81\x82\xE3\x81\x84"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Unfold(c.text), c.lines);
    }
}

TEST(ReadUnfoldedLine, DropsLinesBeyondTheLimit)
{
    const std::string big(iCal::MAX_LOGICAL_LINE, 'x');
    const std::string text = "A:1\r\nX:" + big + "\r\n more\r\nB:2\r\n";
    EXPECT_TRUE(Unfold(text) == (std::vector<std::string>{"A:1", "", "B:2"}));
    // Exactly at the limit the line is kept.
    const std::string fits = "X:" + std::string(iCal::MAX_LOGICAL_LINE - 2, 'y');
    EXPECT_TRUE(Unfold(fits + "\r\nB:2\r\n") == (std::vector<std::string>{fits, "B:2"}));
    EXPECT_TRUE(Unfold(fits + "x\r\nB:2\r\n") == (std::vector<std::string>{"", "B:2"}));
}

TEST(NextToken, QuotedAndPlainTokens)
{
    struct Case {
        const char* text;
        const char* delimiters;
        bool found;
        const char* token;
        std::size_t cursor;
    } cases[] = {
        {"NAME;X=1:v", ";:", true, "NAME", 4},
        {"   NAME :v", ";:", true, "NAME ", 8},          // leading spaces skipped, trailing kept
        {"\"a:b\"rest", ";:", true, "a:b", 5},
        {"\"a\\\"b\":x", ";:", true, "a\"b", 6},         // backslash takes the next byte
        {"\"\":x", ";:", false, "", 2},                   // empty quoted
        {"\"open:x", ";:", false, "", 0},                 // unterminated: cursor stays
        {":x", ";:", false, "", 0},
        {"tail", ";:", true, "tail", 4},
        {"", ";:", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::size_t cursor = 0;
        std::string token;
        EXPECT_EQ(NextToken(c.text, cursor, c.delimiters, token), c.found);
        if (c.found) {
            EXPECT_EQ(token, c.token);
        }
        EXPECT_EQ(cursor, c.cursor);
    }
}

TEST(AppendFoldedLine, FoldsAt75BytesWithSpaceContinuations)
{
    EXPECT_EQ(Fold(std::string(74, 'a')), std::string(74, 'a') + "\r\n");
    EXPECT_EQ(Fold(std::string(75, 'a')), std::string(74, 'a') + "\r\n a\r\n");
    EXPECT_EQ(Fold(std::string(150, 'a')),
              std::string(74, 'a') + "\r\n " + std::string(74, 'a') + "\r\n aa\r\n");
    EXPECT_EQ(Fold(std::string(148, 'a')), std::string(74, 'a') + "\r\n " + std::string(74, 'a') + "\r\n");
}

TEST(AppendFoldedLine, NeverSplitsUtf8AndJoinsBack)
{
    const std::string ja = "\xE6\x97\xA5";  // one 3-byte character
    struct Case {
        std::string line;
        std::vector<std::size_t> lengths;  // bytes per physical line, without the leading space
    } cases[] = {
        // 12 + 20*3 = 72 bytes, then a character that would straddle 74.
        {"DESCRIPTION:" + [&] { std::string s; for (int i = 0; i < 30; ++i) s += ja; return s; }(),
         {72, 30}},
        {std::string(73, 'a') + ja + "b", {73, 4}},
        {std::string(72, 'a') + ja + "b", {72, 4}},
        {std::string(71, 'a') + ja + "b", {74, 1}},
        // Not UTF-8: 74 continuation bytes after the first; the cut stays at 74.
        {"A" + std::string(80, '\x80'), {74, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.size());
        const std::string folded = Fold(c.line);
        EXPECT_EQ(Join(folded), c.line);
        std::vector<std::string> physical = PhysicalLines(folded);
        ASSERT_EQ(physical.size(), c.lengths.size());
        for (std::size_t i = 0; i < physical.size(); ++i) {
            const std::string segment = i == 0 ? physical[i] : physical[i].substr(1);
            if (i > 0) {
                EXPECT_EQ(physical[i][0], ' ');
            }
            EXPECT_EQ(segment.size(), c.lengths[i]) << "line " << i;
            EXPECT_LE(physical[i].size(), 75u);
        }
        // Reading the folded text gives the line back.
        std::istringstream in(folded);
        std::string lookahead, line;
        ASSERT_TRUE(ReadUnfoldedLine(in, lookahead, line));
        EXPECT_EQ(line, c.line);
    }
}
