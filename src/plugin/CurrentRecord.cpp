#include "CurrentRecord.h"

#include <cstring>

namespace zelmar {

TPluginRecord& CurrentRecord() {
    static TPluginRecord record{};
    return record;
}

void CopyInRecord(const void* hostRecord) {
    std::memcpy(&CurrentRecord(), hostRecord, sizeof(TPluginRecord));
}

} // namespace zelmar
