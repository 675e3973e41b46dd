#include "PluginRecord.h"

#include <cstring>

namespace zelmar {

namespace {

void WriteTextAt(unsigned char* base, std::size_t offset, std::string_view text) {
    base[offset] = static_cast<unsigned char>(text.size());
    std::memcpy(base + offset + 1, text.data(), text.size());
}

void WriteInt32At(unsigned char* base, std::size_t offset, std::int32_t value) {
    std::memcpy(base + offset, &value, sizeof value);
}

} // namespace

void WritePluginInfo(void* buffer) {
    auto* base = static_cast<unsigned char*>(buffer);
    WriteTextAt(base, offsetof(TPluginInfo, Title), kPluginTitle);
    WriteInt32At(base, offsetof(TPluginInfo, Flag1), 1);
    WriteTextAt(base, offsetof(TPluginInfo, PluginKind), kPluginKind);
    WriteInt32At(base, offsetof(TPluginInfo, Flag2), 1);
}

} // namespace zelmar
