#include "ical/CICalendarProperty.h"

#include <cstring>
#include <typeinfo>

#include "ical/CICalendarDateTimeValue.h"
#include "ical/CICalendarDummyValue.h"
#include "ical/CICalendarDurationValue.h"
#include "ical/CICalendarMultiValue.h"
#include "ical/CICalendarIntegerValue.h"
#include "ical/CICalendarPlainTextValue.h"
#include "ical/CICalendarTextLine.h"
#include "ical/CICalendarTextValue.h"
#include "ical/CICalendarValue.h"

namespace iCal {

namespace {

// TEXT escaping (RFC 5545 section 3.3.11) straight into the line buffer;
// the same bytes as CICalendarTextValue::EscapeText without a stream.
void AppendEscaped(std::string& out, const std::string& text)
{
    // strcspn finds the next byte to escape many bytes at a time; it also
    // stops at a NUL byte (copied unchanged below) and, at the latest, at
    // the terminating NUL of c_str().
    const char* p = text.c_str();
    const char* const end = p + text.size();
    for (;;) {
        const std::size_t run = std::strcspn(p, "\n\r,;\\");
        out.append(p, run);
        p += run;
        if (p >= end)
            return;
        switch (*p) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case ',': out += "\\,"; break;
        case ';': out += "\\;"; break;
        case '\\': out += "\\\\"; break;
        default: out += *p; break;  // a NUL byte inside the text
        }
        ++p;
    }
}

// A name is written bare unless the reader would not give it back: a ";" or
// ":" would end it early, a leading space is skipped, a leading double quote
// opens a quoted name, and a line that starts with white space continues the
// line before it (RFC 5545 section 3.1).
bool NameNeedsQuotes(const std::string& name)
{
    if (name.empty())
        return false;
    const char first = name[0];
    if (first == ' ' || first == '"' || first == '\t' || first == '\v' || first == '\f' || first == '\r')
        return true;
    for (char c : name)
        if (c == ';' || c == ':')
            return true;
    return false;
}

void AppendQuoted(std::string& out, const std::string& text)
{
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

// The lines that open or close a calendar or a known component. A property
// whose content line would read as one of them (a BEGIN property holding
// VEVENT, kept from a line that was not exactly "BEGIN:VEVENT") is written
// with its name quoted, so that reading the output keeps it a property.
bool IsStructuralLine(const std::string& line)
{
    static const char* const kinds[] = {"VCALENDAR", "VEVENT",  "VTODO",    "VJOURNAL", "VFREEBUSY",
                                        "VTIMEZONE", "VALARM",  "STANDARD", "DAYLIGHT"};
    std::size_t colon = line.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string head = line.substr(0, colon);
    if (head != "BEGIN" && head != "END")
        return false;
    for (const char* kind : kinds)
        if (line.compare(colon + 1, std::string::npos, kind) == 0)
            return true;
    return false;
}

void AppendValue(std::string& out, const CICalendarValue& value)
{
    // The common classes are written here straight into the line, with the
    // same bytes as their ToText; the others go through a stream. The two
    // most frequent classes are recognised by their exact type first, which
    // costs far less than a dynamic_cast.
    const std::type_info& type = typeid(value);
    if (type == typeid(CICalendarTextValue)) {
        AppendEscaped(out, static_cast<const CICalendarTextValue&>(value).text);
    } else if (type == typeid(CICalendarDateTimeValue)) {
        static_cast<const CICalendarDateTimeValue&>(value).dateTime.AppendText(out);
    } else if (const auto* text = dynamic_cast<const CICalendarTextValue*>(&value)) {
        AppendEscaped(out, text->text);
    } else if (const auto* plain = dynamic_cast<const CICalendarPlainTextValue*>(&value)) {
        out += plain->text;
    } else if (const auto* dt = dynamic_cast<const CICalendarDateTimeValue*>(&value)) {
        dt->dateTime.AppendText(out);
    } else if (const auto* multi = dynamic_cast<const CICalendarMultiValue*>(&value)) {
        bool first = true;
        for (const auto& element : multi->values) {
            if (!first)
                out += ',';
            first = false;
            AppendValue(out, *element);
        }
    } else if (const auto* integer = dynamic_cast<const CICalendarIntegerValue*>(&value)) {
        out += std::to_string(integer->value);
    } else if (const auto* duration = dynamic_cast<const CICalendarDurationValue*>(&value)) {
        out += duration->duration.ToText();
    } else if (const auto* dummy = dynamic_cast<const CICalendarDummyValue*>(&value)) {
        out += dummy->text;
    } else {
        out += value.Text();
    }
}

}  // namespace

CICalendarProperty::CICalendarProperty() = default;

CICalendarProperty::CICalendarProperty(const std::string& propName, const std::string& text, int32_t type)
    : name(propName), value(CreateValue(type))
{
    if (auto* plain = dynamic_cast<CICalendarPlainTextValue*>(value.get()))
        plain->text = text;
    PrepareValueParameter(*this);
}

CICalendarProperty::CICalendarProperty(const std::string& propName, const CICalendarDateTime& dateTime)
    : name(propName)
{
    SetDateTimeValue(*this, dateTime);
}

CICalendarProperty::CICalendarProperty(const std::string& propName, int32_t number)
    : name(propName), value(std::make_unique<CICalendarIntegerValue>(number))
{
    PrepareValueParameter(*this);
}

CICalendarProperty::CICalendarProperty(const CICalendarProperty& other)
    : name(other.name), attributes(other.attributes), value(other.value ? other.value->Clone() : nullptr)
{
}

CICalendarProperty& CICalendarProperty::operator=(const CICalendarProperty& other)
{
    if (this != &other) {
        name = other.name;
        attributes = other.attributes;
        value = other.value ? other.value->Clone() : nullptr;
    }
    return *this;
}

CICalendarProperty::CICalendarProperty(CICalendarProperty&& other) noexcept = default;
CICalendarProperty& CICalendarProperty::operator=(CICalendarProperty&& other) noexcept = default;
CICalendarProperty::~CICalendarProperty() = default;

const CICalendarAttribute* CICalendarProperty::FindAttribute(const std::string& attrName) const
{
    auto it = attributes.find(attrName);
    return it == attributes.end() ? nullptr : &*it;
}

bool CICalendarProperty::HasAttribute(const std::string& attrName) const
{
    return attributes.find(attrName) != attributes.end();
}

void CICalendarProperty::AddAttribute(const CICalendarAttribute& attribute)
{
    attributes.insert(attribute);
}

void CICalendarProperty::RemoveAttributes(const std::string& attrName)
{
    attributes.erase(attrName);
}

void CICalendarProperty::SetValue(std::unique_ptr<CICalendarValue> newValue)
{
    value = std::move(newValue);
}

bool CICalendarProperty::ReadLine(const std::string& text)
{
    std::string copy(text);
    return ReadLine(copy);
}

bool CICalendarProperty::ReadLine(std::string& text)
{
    std::size_t cursor = 0;
    // The parameters are collected first and enter the map together: one
    // sort, however many a hostile line holds and in whatever order.
    thread_local std::vector<CICalendarAttribute> read;
    read.clear();
    // Names are read into this buffer and then shared (see CICalendarSharedString).
    thread_local std::string token;
    // RFC 5545 section 3.1: name *(";" param) ":" value.
    if (!NextToken(text, cursor, ";:", token) || cursor >= text.size())
        return false;
    name = token;
    for (;;) {
        if (cursor >= text.size())
            return false;
        const char c = text[cursor];
        if (c == ':') {
            // The value is everything after the colon; the line is not
            // needed any more, so it is cut in place rather than copied.
            text.erase(0, cursor + 1);
            attributes.append(read.begin(), read.end());
            read.clear();
            ValueForProperty(*this, text);
            return value != nullptr;
        }
        // Anything but ";" here follows a closing quote directly: malformed.
        if (c != ';')
            return false;
        ++cursor;
        // Filled in place; a malformed line leaves it behind in `read`,
        // which the next line clears.
        CICalendarAttribute& attribute = read.emplace_back();
        if (!NextToken(text, cursor, "=", token) || cursor >= text.size() || text[cursor] != '=')
            return false;
        attribute.name = token;
        ++cursor;
        if (!NextToken(text, cursor, ":;,", attribute.values.emplace_back()))
            return false;
        // Further values of a multi-valued parameter (RFC 5545 section 3.2,
        // e.g. DELEGATED-TO or MEMBER) are kept so that they survive a
        // rewrite; the first one is the one the library interprets.
        while (cursor < text.size() && text[cursor] == ',') {
            ++cursor;
            if (!NextToken(text, cursor, ":;,", attribute.values.emplace_back()))
                return false;
        }
    }
}

void CICalendarProperty::AppendContentLine(std::string& out)
{
    PrepareValueParameter(*this);
    const std::size_t start = out.size();
    if (NameNeedsQuotes(name))
        AppendQuoted(out, name);
    else
        out += name;
    for (const auto& entry : attributes) {
        out += ';';
        entry.AppendTo(out);
    }
    out += ':';
    if (value)
        AppendValue(out, *value);
    if (attributes.empty() && (name == "BEGIN" || name == "END") && IsStructuralLine(out.substr(start))) {
        std::string quoted;
        AppendQuoted(quoted, name);
        out.replace(start, name.size(), quoted);
    }
}

std::string CICalendarProperty::ContentLine()
{
    std::string line;
    AppendContentLine(line);
    return line;
}

void CICalendarProperty::AppendLine(std::string& out)
{
    // Most lines are short: they are built in place. A line that needs
    // folding is moved aside and folded back in.
    const std::size_t start = out.size();
    AppendContentLine(out);
    if (out.size() - start <= FOLD_SEGMENT) {
        out += "\r\n";
        return;
    }
    thread_local std::string line;  // kept, so long lines allocate only once
    line.assign(out, start, std::string::npos);
    out.resize(start);
    AppendFoldedLine(out, line);
}

void CICalendarProperty::WriteLine(std::ostream& stream)
{
    std::string out;
    AppendLine(out);
    stream << out;
}

}  // namespace iCal
