#include "ReferenceTables.h"

#include "TextLines.h"
#include "plugin/TextRules.h"

namespace zelmar {

namespace {

std::string JoinPath(const std::string& folder, const char* relative) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += relative;
    return path;
}

} // namespace

void TReferenceTables::Load(const std::string& hostFolder) {
    std::vector<std::string> lines;
    if (LoadTextLines(JoinPath(hostFolder, "Plugins/romanian.dom"), lines))
        SetDomTable(std::move(lines));
    lines.clear();
    if (LoadTextLines(JoinPath(hostFolder, "Plugins/zelmar.txt"), lines))
        SetCallTable(std::move(lines));
}

void TReferenceTables::SetDomTable(std::vector<std::string> lines) {
    domTable_ = std::move(lines);
    IndexDomTable();
}

void TReferenceTables::SetCallTable(std::vector<std::string> lines) {
    callTable_ = std::move(lines);
}

void TReferenceTables::Clear() {
    domTable_.clear();
    callTable_.clear();
    countyIndex_.clear();
}

void TReferenceTables::IndexDomTable() {
    countyIndex_.clear();
    for (const std::string& line : domTable_) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        // emplace keeps the first line of a name, as a front-to-back search would.
        countyIndex_.emplace(FoldedKey(std::string_view(line).substr(0, eq)), line.substr(eq + 1));
    }
}

std::string TReferenceTables::CountyLookup(std::string_view name) const {
    const auto it = countyIndex_.find(FoldedKey(name));
    return it == countyIndex_.end() ? std::string() : it->second;
}

std::string TReferenceTables::GrabExchange(const TPluginRecord& record) const {
    if (!IsHomePrefix(Trim(UpperCase(ReadShortText(record.DXCCPrefix)))))
        return {};

    const std::string call = ReadShortText(record.CallSign);
    // An empty call occurs in no line, as the host's substring search has it.
    if (call.empty())
        return {};
    std::string result;
    for (const std::string& line : callTable_) {
        if (line.find(call) == std::string::npos)
            continue;
        const std::string t = Trim(line);
        const std::size_t eq = t.find('=');
        if (eq == call.size() && t.compare(0, eq, call) == 0)
            result = t.substr(eq + 1);
    }
    return result;
}

} // namespace zelmar
