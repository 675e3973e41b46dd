#pragma once

#include "ShortText.h"

#include <cstddef>
#include <cstdint>

namespace zelmar {

// The record the host passes to every entry point that works on a QSO.
// Only the named fields are read; the reserved ranges belong to the host and
// travel with the record untouched.
struct TPluginRecord {
    std::int32_t Connection;
    std::uint8_t reserved4[8];
    ShortText TableName;
    ShortText CallSign;
    std::uint8_t reserved524[16];
    ShortText DigiBand;
    ShortText QSOMode;
    ShortText Continent;
    ShortText QSOReportRecived;
    std::uint8_t reserved1564[768];
    ShortText MainPrefix;
    ShortText DXCCPrefix;
    std::uint8_t reserved2844[1024];
    ShortText CaptionName;
    ShortText MyContinent;
    std::uint8_t reserved4380[256];
    ShortText MyDXCCPrefix;
    std::uint8_t reserved4892[1024];
};

static_assert(sizeof(TPluginRecord) == 5916);
static_assert(alignof(TPluginRecord) == 4);
static_assert(offsetof(TPluginRecord, Connection) == 0);
static_assert(offsetof(TPluginRecord, TableName) == 12);
static_assert(offsetof(TPluginRecord, CallSign) == 268);
static_assert(offsetof(TPluginRecord, DigiBand) == 540);
static_assert(offsetof(TPluginRecord, QSOMode) == 796);
static_assert(offsetof(TPluginRecord, Continent) == 1052);
static_assert(offsetof(TPluginRecord, QSOReportRecived) == 1308);
static_assert(offsetof(TPluginRecord, MainPrefix) == 2332);
static_assert(offsetof(TPluginRecord, DXCCPrefix) == 2588);
static_assert(offsetof(TPluginRecord, CaptionName) == 3868);
static_assert(offsetof(TPluginRecord, MyContinent) == 4124);
static_assert(offsetof(TPluginRecord, MyDXCCPrefix) == 4636);

// The layout `_GetInfo` fills. The module writes only the title's and the
// kind's length byte and characters and the two flags (see WritePluginInfo).
struct TPluginInfo {
    ShortText Title;
    std::int32_t Flag1;
    ShortText PluginKind;
    std::int32_t Flag2;
};

static_assert(sizeof(TPluginInfo) == 520);
static_assert(offsetof(TPluginInfo, Title) == 0);
static_assert(offsetof(TPluginInfo, Flag1) == 256);
static_assert(offsetof(TPluginInfo, PluginKind) == 260);
static_assert(offsetof(TPluginInfo, Flag2) == 516);

inline constexpr char kPluginTitle[] = "Zelmar Contest";
inline constexpr char kPluginKind[] = "qarvel_contest";

// Writes the title, the kind and both flags into host memory at `buffer`,
// byte by byte: nothing after each text's last character is touched and the
// buffer need not be aligned.
void WritePluginInfo(void* buffer);

} // namespace zelmar
