#ifndef ICAL_CICALENDARURIVALUE_H
#define ICAL_CICALENDARURIVALUE_H

#include "ical/CICalendarPlainTextValue.h"

namespace iCal {

// URI (RFC 5545 section 3.3.13), kept as written.
class CICalendarURIValue : public CICalendarPlainTextValue {
public:
    using CICalendarPlainTextValue::CICalendarPlainTextValue;

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarURIValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_URI; }
};

}  // namespace iCal

#endif
