#include "ical/CICalendarTextValue.h"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

using iCal::CICalendarTextValue;

TEST(CICalendarTextValue, EscapesOnWriteAndReadsBack)
{
    struct Row {
        std::string text;
        std::string written;
    };
    const Row rows[] = {
        {"Lunch, then; a \\ and\nnext line", "Lunch\\, then\\; a \\\\ and\\nnext line"},
        {"carriage\rreturn", "carriage\\rreturn"},
        {"plain text", "plain text"},
        {"", ""},
        {",;\\\n\r", "\\,\\;\\\\\\n\\r"},
        {"caf\xC3\xA9 \xE6\x97\xA5", "caf\xC3\xA9 \xE6\x97\xA5"},  // UTF-8 passes through
        {"colon: stays", "colon: stays"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.written);
        const CICalendarTextValue value(row.text);
        EXPECT_EQ(row.written, value.Text());
        CICalendarTextValue read;
        read.FromText(row.written);
        EXPECT_EQ(row.text, read.text);
    }
}

TEST(CICalendarTextValue, UnescapesOnRead)
{
    struct Row {
        std::string written;
        std::string text;
    };
    const Row rows[] = {
        {"a\\nb", "a\nb"},
        {"a\\Nb", "ab"},  // an upper-case N is not an escape: both dropped
        {"a\\tb", "ab"},
        {"a\\:b", "ab"},
        {"trailing\\", "trailing"},
        {"\\\\n", "\\n"},  // an escaped backslash, then a plain n
        {"\\,\\;", ",;"},
        {"no escapes", "no escapes"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.written);
        EXPECT_EQ(row.text, CICalendarTextValue::UnescapeText(row.written));
    }
}
