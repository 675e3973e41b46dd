#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qarvel {

// What each station sent in this log's earlier QSOs: the exchange after the
// report, in the order logged. A home station's exchange is its county, so
// two different counties for one call are likely a busted exchange.
class StationHistory {
public:
    void Clear() { exchanges_.clear(); }
    // `received` as logged ("59 BU"); the leading report is dropped.
    void Add(std::string_view call, std::string_view received);

    // The exchange to fill in for `call`: the last one it sent, or empty.
    // Nothing for a plain number: a serial changes with every QSO.
    std::string Exchange(std::string_view call) const;
    // The different exchanges `call` sent, in the order first logged.
    std::vector<std::string> Distinct(std::string_view call) const;

    // The exchange without the report in front: "599 BU" gives "BU".
    static std::string WithoutReport(std::string_view received);

private:
    std::unordered_map<std::string, std::vector<std::string>> exchanges_;
};

} // namespace qarvel
