#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace zelmar {

// A list of worked multiplier keys in the order they were worked, with
// membership under case-insensitive comparison of whole keys. The index keeps
// membership constant time; the list keeps the order the multipliers window
// walks.
class TWorkedKeys {
public:
    bool Contains(std::string_view key) const;
    // Appends the key (callers test Contains first).
    void Add(std::string key);
    void Clear();

    const std::vector<std::string>& Keys() const { return keys_; }
    std::size_t Count() const { return keys_.size(); }

private:
    std::vector<std::string> keys_;
    std::unordered_set<std::string> folded_;
};

} // namespace zelmar
