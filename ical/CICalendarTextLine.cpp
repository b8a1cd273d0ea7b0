#include "ical/CICalendarTextLine.h"

#include <cstdint>
#include <cstring>

#include "ical/CICalendarExactString.h"

namespace iCal {

namespace {

enum class PhysicalRead { COMPLETE, CUT_OFF };

// Reads one physical line into `out` (without its LF and one trailing CR).
// CUT_OFF when the text ended (or the stream failed) before a line feed.
// Bytes beyond MAX_LOGICAL_LINE + 1 are discarded; the kept length then shows
// the line was too long.
PhysicalRead ReadPhysicalLine(std::istream& stream, std::string& out)
{
    out.clear();
    if (!stream.good()) {
        stream.setstate(std::ios::failbit);
        return PhysicalRead::CUT_OFF;
    }
    // Room for the line, its CR, and one byte that marks it as too long.
    constexpr std::size_t keep = MAX_LOGICAL_LINE + 2;
    bool truncated = false;
    char chunk[16384];
    for (;;) {
        // istream::getline scans the stream's buffer for the line feed in
        // one go; a line longer than the chunk comes in several pieces.
        stream.getline(chunk, sizeof chunk);
        const bool eof = stream.eof();
        const bool complete = !stream.fail() && !eof;  // the line feed was consumed
        std::size_t n = static_cast<std::size_t>(stream.gcount());
        if (complete)
            --n;  // gcount counts the line feed
        if (!truncated) {
            if (out.size() + n > keep) {
                truncated = true;
                out.append(chunk, keep - out.size());
            } else {
                out.append(chunk, n);
            }
        }
        if (complete)
            break;
        if (eof || stream.bad()) {
            // The text ended (or the stream failed) before a line feed;
            // getline also sets failbit when it extracted nothing.
            stream.clear(eof ? std::ios::eofbit : std::ios::badbit);
            return PhysicalRead::CUT_OFF;
        }
        // The chunk filled up before the line feed: go on reading.
        stream.clear();
    }
    if (truncated)
        out.resize(MAX_LOGICAL_LINE + 1);  // longer than any line that is kept
    else if (!out.empty() && out.back() == '\r')
        out.pop_back();
    return PhysicalRead::COMPLETE;
}

bool IsFoldSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool ReadUnfoldedLine(std::istream& stream, std::string& lookahead, std::string& line)
{
    if (!lookahead.empty()) {
        line.swap(lookahead);
        lookahead.clear();
    } else if (stream.eof() || stream.fail() ||
               ReadPhysicalLine(stream, line) == PhysicalRead::CUT_OFF) {
        return false;
    }
    bool tooLong = line.size() > MAX_LOGICAL_LINE;
    for (;;) {
        if (stream.eof() || stream.fail()) {
            lookahead.clear();
            break;
        }
        if (ReadPhysicalLine(stream, lookahead) == PhysicalRead::CUT_OFF)
            break;
        if (lookahead.empty() || !IsFoldSpace(static_cast<unsigned char>(lookahead[0])))
            break;
        if (!tooLong) {
            if (line.size() + lookahead.size() - 1 > MAX_LOGICAL_LINE)
                tooLong = true;
            else
                line.append(lookahead, 1, std::string::npos);
        }
        lookahead.clear();
    }
    if (tooLong)
        line.clear();
    return true;
}

bool NextToken(const std::string& text, std::size_t& cursor, const char* delimiters,
               std::string& token)
{
    token.clear();
    std::size_t pos = cursor;
    const std::size_t size = text.size();
    while (pos < size && text[pos] == ' ')
        ++pos;
    if (pos < size && text[pos] == '"') {
        std::size_t i = pos + 1;
        while (i < size) {
            const char c = text[i];
            if (c == '\\') {
                if (i + 1 >= size)
                    break;
                token += text[i + 1];
                i += 2;
                continue;
            }
            if (c == '"') {
                cursor = i + 1;
                return !token.empty();
            }
            token += c;
            ++i;
        }
        token.clear();
        return false;  // unterminated: the cursor stays where it was
    }
    // A plain scan; the delimiters as a 256-bit set make the test a shift
    // and a mask per byte.
    std::uint64_t set[4] = {0, 0, 0, 0};
    for (const char* d = delimiters; *d; ++d) {
        const unsigned char c = static_cast<unsigned char>(*d);
        set[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
    std::size_t end = pos;
    for (; end < size; ++end) {
        const unsigned char c = static_cast<unsigned char>(text[end]);
        if ((set[c >> 6] >> (c & 63)) & 1)
            break;
    }
    AssignExact(token, text.data() + pos, end - pos);
    cursor = end;
    return !token.empty();
}

void AppendFoldedLine(std::string& out, const std::string& line)
{
    constexpr std::size_t segment = FOLD_SEGMENT;
    const std::size_t size = line.size();
    if (size <= segment) {
        out += line;
        out += "\r\n";
        return;
    }
    std::size_t pos = 0;
    bool first = true;
    while (pos < size) {
        if (!first)
            out += "\r\n ";
        first = false;
        std::size_t take = size - pos;
        if (take > segment) {
            take = segment;
            while (take > 0 &&
                   (static_cast<unsigned char>(line[pos + take]) & 0xC0) == 0x80)
                --take;
            if (take == 0)
                take = segment;
        }
        out.append(line, pos, take);
        pos += take;
    }
    out += "\r\n";
}

}  // namespace iCal
