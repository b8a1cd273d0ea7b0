#include "ical/CICalendarAttribute.h"

namespace iCal {

namespace {

// A value must be quoted when it holds a byte that ends an unquoted value
// (RFC 5545 section 3.1: ":", ";" and "," are not SAFE-CHAR), or when the
// reader would otherwise not give it back unchanged: a leading space is
// skipped and a leading double quote opens a quoted string.
bool NeedsQuotes(const std::string& v)
{
    if (v.empty())
        return false;
    if (v[0] == ' ' || v[0] == '"')
        return true;
    for (char c : v)
        if (c == ':' || c == ';' || c == ',')
            return true;
    return false;
}

void AppendQuoted(std::string& out, const std::string& v)
{
    out += '"';
    // Inside quotes the reader takes the byte after a backslash literally, so
    // a double quote or a backslash in the value is preceded by one; every
    // other byte passes unchanged.
    for (char c : v) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

void AppendValue(std::string& out, const std::string& v)
{
    if (NeedsQuotes(v))
        AppendQuoted(out, v);
    else
        out += v;
}

}  // namespace

CICalendarAttribute::CICalendarAttribute(const std::string& attrName, const std::string& value)
    : name(attrName), values{value}
{
}

CICalendarAttribute::~CICalendarAttribute() = default;

const std::string& CICalendarAttribute::FirstValue() const
{
    static const std::string empty;
    return values.empty() ? empty : values.front();
}

void CICalendarAttribute::AppendTo(std::string& out) const
{
    // A name is read up to "="; one that holds "=", or starts with a space or
    // a double quote, is quoted like a value so that it reads back whole.
    if (!name.empty() && (name[0] == ' ' || name[0] == '"' || name.str().find('=') != std::string::npos))
        AppendQuoted(out, name);
    else
        out += name;
    out += '=';
    bool first = true;
    for (const std::string& v : values) {
        if (!first)
            out += ',';
        first = false;
        AppendValue(out, v);
    }
}

void CICalendarAttribute::Write(std::ostream& stream) const
{
    std::string text;
    AppendTo(text);
    stream << text;
}

}  // namespace iCal
