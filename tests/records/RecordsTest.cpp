#include "plugin/CurrentRecord.h"
#include "plugin/PluginRecord.h"
#include "plugin/ShortText.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

using namespace zelmar;

namespace {

// Places a short text at a byte offset of a raw host buffer, as the host
// would lay it out.
void PutText(std::vector<unsigned char>& buf, std::size_t offset, const std::string& text) {
    buf[offset] = static_cast<unsigned char>(text.size());
    std::memcpy(buf.data() + offset + 1, text.data(), text.size());
}

} // namespace

TEST(ShortText, ReadsExactlyLengthBytes) {
    ShortText slot;
    std::memset(&slot, 'x', sizeof slot);
    slot.length = 0;
    EXPECT_EQ(ReadShortText(slot), "");
    slot.length = 3;
    std::memcpy(slot.chars, "DL1", 3);
    EXPECT_EQ(ReadShortText(slot), "DL1");
}

TEST(ShortText, WriteCutsAt255AndKeepsBytesAfterText) {
    ShortText slot;
    std::memset(&slot, '#', sizeof slot);
    WriteShortText(slot, std::string(300, 'a'));
    EXPECT_EQ(slot.length, 255);
    EXPECT_EQ(ReadShortText(slot), std::string(255, 'a'));

    std::memset(&slot, '#', sizeof slot);
    WriteShortText(slot, "14");
    EXPECT_EQ(ReadShortText(slot), "14");
    EXPECT_EQ(slot.chars[2], '#') << "bytes after the text belong to nobody and stay";
}

TEST(PluginRecord, FieldsSitAtTheHostsOffsets) {
    std::vector<unsigned char> raw(sizeof(TPluginRecord), 0);
    const std::int32_t connection = 0x01020304;
    std::memcpy(raw.data(), &connection, 4);
    const std::vector<std::pair<std::size_t, std::string>> fields = {
        {12, "Log"},       {268, "YO3ABC"},  {540, "14"},    {796, "CW"},
        {1052, "EU"},      {1308, "599 AB"}, {2332, "YO3"},  {2588, "YO"},
        {3868, "LOG1"},    {4124, "EU"},     {4636, "DL"},
    };
    for (const auto& [offset, text] : fields)
        PutText(raw, offset, text);

    CopyInRecord(raw.data());
    const TPluginRecord& r = CurrentRecord();
    EXPECT_EQ(r.Connection, connection);
    EXPECT_EQ(ReadShortText(r.TableName), "Log");
    EXPECT_EQ(ReadShortText(r.CallSign), "YO3ABC");
    EXPECT_EQ(ReadShortText(r.DigiBand), "14");
    EXPECT_EQ(ReadShortText(r.QSOMode), "CW");
    EXPECT_EQ(ReadShortText(r.Continent), "EU");
    EXPECT_EQ(ReadShortText(r.QSOReportRecived), "599 AB");
    EXPECT_EQ(ReadShortText(r.MainPrefix), "YO3");
    EXPECT_EQ(ReadShortText(r.DXCCPrefix), "YO");
    EXPECT_EQ(ReadShortText(r.CaptionName), "LOG1");
    EXPECT_EQ(ReadShortText(r.MyContinent), "EU");
    EXPECT_EQ(ReadShortText(r.MyDXCCPrefix), "DL");
}

TEST(PluginRecord, CopyInTakesAllBytesIncludingTheHostsOwn) {
    std::vector<unsigned char> raw(sizeof(TPluginRecord));
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<unsigned char>(i * 7 + 1);
    CopyInRecord(raw.data());
    EXPECT_EQ(std::memcmp(&CurrentRecord(), raw.data(), raw.size()), 0);
}

TEST(PluginInfo, WritesOnlyTheListedBytes) {
    std::array<unsigned char, 1024> buf;
    buf.fill(0xAB);
    WritePluginInfo(buf.data() + 1); // host memory need not be aligned
    const unsigned char* info = buf.data() + 1;

    const std::string title = "Zelmar Contest";
    const std::string kind = "qarvel_contest";
    std::vector<bool> written(buf.size(), false);
    auto mark = [&](std::size_t offset, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            written[1 + offset + i] = true;
    };
    EXPECT_EQ(info[0], title.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info + 1), title.size()), title);
    mark(0, 1 + title.size());
    std::int32_t flag;
    std::memcpy(&flag, info + 256, 4);
    EXPECT_EQ(flag, 1);
    mark(256, 4);
    EXPECT_EQ(info[260], kind.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info + 261), kind.size()), kind);
    mark(260, 1 + kind.size());
    std::memcpy(&flag, info + 516, 4);
    EXPECT_EQ(flag, 1);
    mark(516, 4);

    for (std::size_t i = 0; i < buf.size(); ++i) {
        if (!written[i]) {
            EXPECT_EQ(buf[i], 0xAB) << "byte " << i << " was touched";
        }
    }
}
