// The county table and the call exchange table as arbitrary bytes: NUL, CR
// and LF in any mix, very long lines. Both files are written into a Plugins
// folder and loaded as the statistics window loads them; the lines, every
// county lookup and every exchange lookup are checked against a plain,
// line-by-line reading of the file format, so that the indexed lookups can
// never drift from the rules.
#include "plugin/PluginRecord.h"
#include "plugin/ShortText.h"
#include "tables/ReferenceTables.h"
#include "tables/TextLines.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

using namespace zelmar;

namespace {

std::filesystem::path g_hostFolder;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "reference tables: %s (%s)\n", what, detail.c_str());
    __builtin_trap();
}

// The file format read naively: a NUL ends the text; CR, LF and CR LF each
// end one line; a final line without a break counts.
std::vector<std::string> NaiveLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\0')
            break;
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            continue;
        }
        line += c;
        pending = true;
    }
    if (pending)
        lines.push_back(line);
    return lines;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool NaiveSameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

std::string NaiveTrim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

std::string NaiveCountyLookup(const std::vector<std::string>& dom, const std::string& name) {
    for (const std::string& line : dom) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && NaiveSameText(line.substr(0, eq), name))
            return line.substr(eq + 1);
    }
    return {};
}

std::string NaiveGrabExchange(const std::vector<std::string>& calls, const std::string& call,
                              const std::string& prefix) {
    std::string p = NaiveTrim(prefix);
    for (char& c : p)
        c = AsciiUpper(c);
    if (p != "YO")
        return {};
    std::string result;
    for (const std::string& line : calls) {
        // Pos() of an empty text is 0: an empty call occurs nowhere.
        if (call.empty() || line.find(call) == std::string::npos)
            continue;
        const std::string t = NaiveTrim(line);
        const std::size_t eq = t.find('=');
        if (eq != std::string::npos && t.substr(0, eq) == call)
            result = t.substr(eq + 1);
    }
    return result;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        Fail("cannot write the table file", path.string());
}

std::string Quoted(const std::string& s) {
    std::string out;
    for (unsigned char c : s.substr(0, 80)) {
        char buf[8];
        std::snprintf(buf, sizeof buf, (c >= 32 && c < 127) ? "%c" : "\\x%02x", c);
        out += buf;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/zelmar-fuzz-tables-XXXXXX";
    if (!mkdtemp(pattern))
        Fail("no temporary folder", pattern);
    g_hostFolder = pattern;
    std::filesystem::create_directories(g_hostFolder / "Plugins");
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(g_hostFolder, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Which file is present, and the prefix and extra name the lookups use,
    // come from the input's tail; the two files share the rest.
    const std::uint8_t presence = in.ConsumeIntegral<std::uint8_t>();
    const std::string prefix = in.ConsumeRandomLengthString(8);
    const std::string extraName = in.ConsumeRandomLengthString(300);
    const std::size_t split = in.ConsumeIntegralInRange<std::size_t>(0, in.remaining_bytes());
    const std::string domBytes = in.ConsumeBytesAsString(split);
    const std::string callBytes = in.ConsumeRemainingBytesAsString();

    const std::vector<std::string> domLines = SplitTextLines(domBytes);
    const std::vector<std::string> callLines = SplitTextLines(callBytes);
    if (domLines != NaiveLines(domBytes))
        Fail("county lines differ from the file format", Quoted(domBytes));
    if (callLines != NaiveLines(callBytes))
        Fail("call lines differ from the file format", Quoted(callBytes));
    for (const auto* lines : {&domLines, &callLines})
        for (const std::string& line : *lines)
            if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
                Fail("a line keeps a break or a NUL", Quoted(line));

    const bool hasDom = !(presence & 1);
    const bool hasCalls = !(presence & 2);
    const auto plugins = g_hostFolder / "Plugins";
    std::error_code ec;
    std::filesystem::remove(plugins / "romanian.dom", ec);
    std::filesystem::remove(plugins / "zelmar.txt", ec);
    if (hasDom)
        WriteFile(plugins / "romanian.dom", domBytes);
    if (hasCalls)
        WriteFile(plugins / "zelmar.txt", callBytes);

    TReferenceTables tables;
    tables.Load(g_hostFolder.string() + "/");
    const std::vector<std::string> noLines;
    const std::vector<std::string>& dom = hasDom ? domLines : noLines;
    const std::vector<std::string>& calls = hasCalls ? callLines : noLines;
    if (tables.DomTable() != dom)
        Fail("the loaded county table differs from the file", Quoted(domBytes));
    if (tables.CallTable() != calls)
        Fail("the loaded call table differs from the file", Quoted(callBytes));

    // Names: every line's text before its first "=" (a few case variants
    // too), and one name of the input's own.
    std::vector<std::string> names{extraName, ""};
    for (std::size_t i = 0; i < dom.size() && names.size() < 64; ++i) {
        const std::size_t eq = dom[i].find('=');
        std::string name = dom[i].substr(0, eq);
        names.push_back(name);
        for (char& c : name)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        names.push_back(name);
    }
    for (const std::string& name : names)
        if (tables.CountyLookup(name) != NaiveCountyLookup(dom, name))
            Fail("county lookup differs", Quoted(name));

    // Calls: every line's trimmed text before "=" as a listed call, its
    // proper beginnings, and the input's own; each with the home prefix as
    // sent and as the input spells it.
    std::vector<std::string> callSigns{extraName};
    for (std::size_t i = 0; i < calls.size() && callSigns.size() < 64; ++i) {
        const std::string t = NaiveTrim(calls[i]);
        const std::string call = t.substr(0, t.find('='));
        callSigns.push_back(call);
        if (call.size() > 1)
            callSigns.push_back(call.substr(0, call.size() - 1));
    }
    TPluginRecord record;
    std::memset(&record, 0, sizeof record);
    for (const std::string& call : callSigns) {
        WriteShortText(record.CallSign, call);
        const std::string sent = ReadShortText(record.CallSign);
        for (const std::string& p : {std::string("YO"), prefix}) {
            WriteShortText(record.DXCCPrefix, p);
            const std::string got = tables.GrabExchange(record);
            if (got != NaiveGrabExchange(calls, sent, p))
                Fail("exchange lookup differs", Quoted(sent) + " / " + Quoted(p));
        }
    }
    return 0;
}
