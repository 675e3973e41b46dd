#pragma once

#include "plugin/PluginRecord.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelmar {

// The county table (romanian.dom) and the call exchange table (zelmar.txt),
// line by line as read from the host's Plugins folder.
class TReferenceTables {
public:
    // Loads "Plugins/romanian.dom", then "Plugins/zelmar.txt" below
    // `hostFolder`. A missing file, or a name that is no file (a folder),
    // leaves its table empty; a file that exists but cannot be read throws
    // TFileError.
    void Load(const std::string& hostFolder);

    const std::vector<std::string>& DomTable() const { return domTable_; }
    const std::vector<std::string>& CallTable() const { return callTable_; }
    void SetDomTable(std::vector<std::string> lines);
    void SetCallTable(std::vector<std::string> lines);
    void Clear();

    // The value after the first "=" of the first county line whose name
    // (untrimmed, before that "=") is SameText as `name`; empty when none.
    std::string CountyLookup(std::string_view name) const;

    // The exchange a home-country station sends, from the call exchange
    // table; empty for a foreign station or an unlisted call.
    std::string GrabExchange(const TPluginRecord& record) const;

private:
    void IndexDomTable();

    std::vector<std::string> domTable_;
    std::vector<std::string> callTable_;
    // Folded county name -> value of its first line; the lookup runs for
    // every recorded QSO.
    std::unordered_map<std::string, std::string> countyIndex_;
};

} // namespace zelmar
