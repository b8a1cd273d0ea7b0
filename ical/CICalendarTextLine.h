#ifndef ICAL_CICALENDARTEXTLINE_H
#define ICAL_CICALENDARTEXTLINE_H

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

namespace iCal {

// Limits that no well-formed calendar reaches; they keep hostile input from
// exhausting memory. See ical/README.md.
constexpr std::size_t MAX_LOGICAL_LINE = 16u * 1024u * 1024u;  // bytes after unfolding
constexpr std::size_t MAX_COMPONENT_PROPERTIES = 100000;        // per component
constexpr std::size_t MAX_CALENDAR_PROPERTIES = 1000000;        // calendar level
constexpr std::size_t MAX_EMBEDDED_COMPONENTS = 10000;          // alarms, STANDARD/DAYLIGHT

// The longest line the writer leaves unfolded, and the length of each folded
// segment, in bytes (75 with the leading space of a continuation line).
constexpr std::size_t FOLD_SEGMENT = 74;

// Reads the next logical line (RFC 5545 section 3.1: a line break followed by
// one space or tab is removed). A physical line ends at a line feed; one
// carriage return before it is removed. `lookahead` is owned by the caller,
// starts empty and carries the line read ahead between calls.
// Returns false when the first physical line of the call could not be read
// completely (end of text before a line feed). A continuation line is any
// line whose first byte is space, tab, LF, VT, FF or CR; an empty physical
// line ends a folded line and is skipped.
// A logical line longer than MAX_LOGICAL_LINE is returned empty (the reader
// drops empty lines), its bytes discarded as they are read.
bool ReadUnfoldedLine(std::istream& stream, std::string& lookahead, std::string& line);

// The next token of a content line from `cursor` (advanced by the call):
// spaces (0x20) are skipped; a token that starts with a double quote runs to
// the next unescaped double quote (a backslash takes the next byte
// literally) and the cursor moves past the closing quote; otherwise the token
// runs to the first byte of `delimiters` (the cursor stops on it) or to the
// end. Returns false for an empty token and for an unterminated quoted string
// (the cursor does not move then).
bool NextToken(const std::string& text, std::size_t& cursor, const char* delimiters,
               std::string& token);

// Appends `line` to `out` folded as RFC 5545 section 3.1 asks: at most 75
// bytes per physical line, every continuation starting with one space, each
// line ending with CR LF. Segments hold 74 bytes, fewer when the cut would
// fall before a UTF-8 continuation byte (0x80-0xBF), so multi-byte characters
// are never split; when all bytes after the cut are continuation bytes the
// text is not UTF-8 and the cut stays at 74.
// Example: 75 ASCII bytes give 74 bytes, CR LF, a space and the last byte.
void AppendFoldedLine(std::string& out, const std::string& line);

}  // namespace iCal

#endif
