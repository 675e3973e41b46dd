#include "TQSOList.h"

#include <algorithm>
#include <utility>

namespace zelmar {

namespace {

bool CallLess(const TQSO& a, const TQSO& b) {
    return a.call < b.call;
}

} // namespace

TQSOList::const_iterator& TQSOList::const_iterator::operator++() {
    if (++offset_ == (*chunks_)[chunk_].size()) {
        ++chunk_;
        offset_ = 0;
    }
    return *this;
}

const TQSO& TQSOList::operator[](std::size_t i) const {
    const auto k = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), i) -
                                            starts_.begin() - 1);
    return chunks_[k][i - starts_[k]];
}

void TQSOList::push_back(TQSO qso) {
    if (chunks_.empty() || chunks_.back().size() >= kChunkLimit) {
        chunks_.emplace_back().reserve(kChunkLimit);
        starts_.push_back(size_);
    }
    chunks_.back().push_back(std::move(qso));
    ++size_;
}

void TQSOList::clear() {
    chunks_.clear();
    starts_.clear();
    size_ = 0;
}

void TQSOList::SortByCall() {
    std::vector<TQSO> all;
    all.reserve(size_);
    for (std::vector<TQSO>& chunk : chunks_)
        for (TQSO& qso : chunk)
            all.push_back(std::move(qso));
    std::sort(all.begin(), all.end(), CallLess);

    // Half-full chunks leave room for the QSOs that follow.
    clear();
    for (std::size_t i = 0; i < all.size(); i += kChunkLimit / 2) {
        const std::size_t end = std::min(all.size(), i + kChunkLimit / 2);
        std::vector<TQSO>& chunk = chunks_.emplace_back();
        chunk.reserve(kChunkLimit);
        std::move(all.begin() + static_cast<std::ptrdiff_t>(i),
                  all.begin() + static_cast<std::ptrdiff_t>(end), std::back_inserter(chunk));
        starts_.push_back(i);
    }
    size_ = all.size();
}

void TQSOList::SortInLast() {
    if (size_ < 2)
        return;
    TQSO last = std::move(chunks_.back().back());
    chunks_.back().pop_back();
    --size_;
    if (chunks_.back().empty()) {
        chunks_.pop_back();
        starts_.pop_back();
    }
    Insert(std::move(last));
}

void TQSOList::Insert(TQSO qso) {
    // The first chunk whose last call is greater holds the place after all
    // entries with a call not greater; with none, the place is the end.
    auto chunk = std::upper_bound(
        chunks_.begin(), chunks_.end(), qso,
        [](const TQSO& q, const std::vector<TQSO>& c) { return CallLess(q, c.back()); });
    if (chunk == chunks_.end())
        --chunk;
    const auto k = static_cast<std::size_t>(chunk - chunks_.begin());
    std::vector<TQSO>& c = *chunk;
    c.insert(std::upper_bound(c.begin(), c.end(), qso, CallLess), std::move(qso));
    ++size_;
    for (std::size_t j = k + 1; j < starts_.size(); ++j)
        ++starts_[j];

    if (c.size() > kChunkLimit) {
        const std::size_t half = c.size() / 2;
        std::vector<TQSO> upper;
        upper.reserve(kChunkLimit);
        std::move(c.begin() + static_cast<std::ptrdiff_t>(half), c.end(),
                  std::back_inserter(upper));
        c.resize(half);
        const std::size_t upperStart = starts_[k] + half;
        chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(k + 1), std::move(upper));
        starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(k + 1), upperStart);
    }
}

} // namespace zelmar
