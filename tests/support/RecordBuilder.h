#pragma once

#include "plugin/PluginRecord.h"
#include "plugin/ShortText.h"

#include <string>

namespace zelmar::testing {

// A host record filled field by field, for tests that call the rules or the
// module's entry points.
class RecordBuilder {
public:
    RecordBuilder() : r_{} {
        r_.Connection = 1;
        Set(r_.TableName, "Log");
        Set(r_.MyContinent, "EU");
        Set(r_.MyDXCCPrefix, "DL");
    }
    RecordBuilder& Call(const std::string& v) { return Set(r_.CallSign, v); }
    RecordBuilder& Band(const std::string& v) { return Set(r_.DigiBand, v); }
    RecordBuilder& Mode(const std::string& v) { return Set(r_.QSOMode, v); }
    RecordBuilder& Continent(const std::string& v) { return Set(r_.Continent, v); }
    RecordBuilder& Exchange(const std::string& v) { return Set(r_.QSOReportRecived, v); }
    RecordBuilder& Prefix(const std::string& v) { return Set(r_.DXCCPrefix, v); }
    RecordBuilder& MainPrefix(const std::string& v) { return Set(r_.MainPrefix, v); }
    RecordBuilder& Table(const std::string& v) { return Set(r_.TableName, v); }
    RecordBuilder& Caption(const std::string& v) { return Set(r_.CaptionName, v); }
    RecordBuilder& MyContinent(const std::string& v) { return Set(r_.MyContinent, v); }
    RecordBuilder& MyPrefix(const std::string& v) { return Set(r_.MyDXCCPrefix, v); }
    RecordBuilder& Connection(std::int32_t n) {
        r_.Connection = n;
        return *this;
    }

    const TPluginRecord& Get() const { return r_; }
    const TPluginRecord* Ptr() const { return &r_; }
    operator const TPluginRecord&() const { return r_; }

private:
    RecordBuilder& Set(ShortText& slot, const std::string& v) {
        WriteShortText(slot, v);
        return *this;
    }
    TPluginRecord r_;
};

} // namespace zelmar::testing
