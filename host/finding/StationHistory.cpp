#include "finding/StationHistory.h"

#include <algorithm>
#include <cctype>

namespace qarvel {

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string StationHistory::WithoutReport(std::string_view received) {
    std::string_view text = Trimmed(received);
    const std::size_t space = text.find(' ');
    // A report is two or three digits (59, 599) and never stands alone.
    if (space != std::string_view::npos && (space == 2 || space == 3) &&
        AllDigits(text.substr(0, space)))
        text = Trimmed(text.substr(space + 1));
    return std::string(text);
}

void StationHistory::Add(std::string_view call, std::string_view received) {
    std::string exchange = WithoutReport(received);
    if (call.empty() || exchange.empty())
        return;
    exchanges_[std::string(call)].push_back(std::move(exchange));
}

std::string StationHistory::Exchange(std::string_view call) const {
    const auto it = exchanges_.find(std::string(call));
    if (it == exchanges_.end() || AllDigits(it->second.back()))
        return {};
    return it->second.back();
}

std::vector<std::string> StationHistory::Distinct(std::string_view call) const {
    std::vector<std::string> out;
    const auto it = exchanges_.find(std::string(call));
    if (it == exchanges_.end())
        return out;
    for (const std::string& e : it->second)
        if (std::find(out.begin(), out.end(), e) == out.end())
            out.push_back(e);
    return out;
}

} // namespace qarvel
