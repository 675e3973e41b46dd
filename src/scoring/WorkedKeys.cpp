#include "WorkedKeys.h"

#include "plugin/TextRules.h"

namespace zelmar {

bool TWorkedKeys::Contains(std::string_view key) const {
    return folded_.count(FoldedKey(key)) != 0;
}

void TWorkedKeys::Add(std::string key) {
    folded_.insert(FoldedKey(key));
    keys_.push_back(std::move(key));
}

void TWorkedKeys::Clear() {
    keys_.clear();
    folded_.clear();
}

} // namespace zelmar
