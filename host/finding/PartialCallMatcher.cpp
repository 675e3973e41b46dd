#include "finding/PartialCallMatcher.h"

#include <algorithm>

namespace qarvel {

namespace {

// Where `pattern` (with '?' for any one character) first occurs in `text`,
// or npos.
std::size_t FindWithWildcard(std::string_view text, std::string_view pattern) {
    if (pattern.size() > text.size())
        return std::string_view::npos;
    for (std::size_t at = 0; at + pattern.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < pattern.size() && (pattern[i] == '?' || pattern[i] == text[at + i]))
            ++i;
        if (i == pattern.size())
            return at;
    }
    return std::string_view::npos;
}

// For a call one character longer than `typed`: the index of the one extra
// character, or npos when more than that differs.
std::size_t ExtraCharacter(std::string_view call, std::string_view typed) {
    std::size_t i = 0;
    while (i < typed.size() && call[i] == typed[i])
        ++i;
    // call[i] is the candidate for the extra one: the rest must then agree.
    if (call.substr(i + 1) == typed.substr(i))
        return i;
    return std::string_view::npos;
}

} // namespace

void PartialCallMatcher::SetCalls(std::vector<std::string> calls) {
    std::erase_if(calls, [](const std::string& c) { return c.empty(); });
    std::sort(calls.begin(), calls.end());
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    calls_ = std::move(calls);
}

void PartialCallMatcher::AddCall(std::string_view call) {
    if (call.empty())
        return;
    const auto at = std::lower_bound(calls_.begin(), calls_.end(), call);
    if (at == calls_.end() || *at != call)
        calls_.insert(at, std::string(call));
}

bool PartialCallMatcher::Contains(std::string_view call) const {
    return std::binary_search(calls_.begin(), calls_.end(), call);
}

PartialCallMatcher::Result PartialCallMatcher::Find(std::string_view typed,
                                                    std::size_t limit) const {
    Result r;
    if (typed.size() < 2)
        return r;
    const bool wildcard = typed.find('?') != std::string_view::npos;
    std::vector<std::string> inside; // matches past the first character
    for (const std::string& call : calls_) {
        const std::size_t at =
            wildcard ? FindWithWildcard(call, typed) : std::string_view(call).find(typed);
        if (at != std::string_view::npos) {
            ++r.partialTotal;
            if (at == 0) {
                if (r.partial.size() < limit)
                    r.partial.push_back(call);
            } else if (inside.size() < limit) {
                inside.push_back(call);
            }
            continue;
        }
        if (wildcard || r.neighbours.size() >= limit)
            continue;
        if (call.size() == typed.size()) {
            std::size_t differs = 0, marked = 0;
            for (std::size_t i = 0; i < call.size() && differs < 2; ++i)
                if (call[i] != typed[i]) {
                    ++differs;
                    marked = i;
                }
            if (differs == 1)
                r.neighbours.push_back({call, marked});
        } else if (call.size() == typed.size() + 1) {
            // Those with the extra character at either end hold the typed
            // text and are partial matches already.
            if (const std::size_t extra = ExtraCharacter(call, typed);
                extra != std::string_view::npos)
                r.neighbours.push_back({call, extra});
        }
    }
    for (std::string& call : inside) {
        if (r.partial.size() >= limit)
            break;
        r.partial.push_back(std::move(call));
    }
    return r;
}

} // namespace qarvel
