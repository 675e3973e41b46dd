#pragma once

#include "TQSO.h"

#include <cstddef>
#include <iterator>
#include <vector>

namespace zelmar {

// QSOList: the counted QSOs by position, as appended or as sorted by call.
// The entries are kept in chunks of a few hundred, so that moving one new
// entry to its place in call order shifts one chunk, not the whole list: a
// contest log of a hundred thousand QSOs costs no more per QSO than a small
// one.
class TQSOList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TQSO;
        using difference_type = std::ptrdiff_t;
        using pointer = const TQSO*;
        using reference = const TQSO&;

        const_iterator() = default;
        reference operator*() const { return (*chunks_)[chunk_][offset_]; }
        pointer operator->() const { return &**this; }
        const_iterator& operator++();
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const {
            return chunk_ == other.chunk_ && offset_ == other.offset_;
        }

    private:
        friend class TQSOList;
        const_iterator(const std::vector<std::vector<TQSO>>* chunks, std::size_t chunk)
            : chunks_(chunks), chunk_(chunk) {}
        const std::vector<std::vector<TQSO>>* chunks_ = nullptr;
        std::size_t chunk_ = 0;
        std::size_t offset_ = 0;
    };

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The entry at position i (0-based), i < size().
    const TQSO& operator[](std::size_t i) const;
    const_iterator begin() const { return const_iterator(&chunks_, 0); }
    const_iterator end() const { return const_iterator(&chunks_, chunks_.size()); }

    void push_back(TQSO qso);
    void clear();

    // Puts every entry in ascending order of call (ordinal); equal calls end
    // up next to each other in no defined order.
    void SortByCall();
    // The same, when all entries but the last are in call order already:
    // the last one is moved to its place.
    void SortInLast();

private:
    // Appends fill a chunk up to kChunkLimit; an insertion that overfills
    // one splits it in two.
    static constexpr std::size_t kChunkLimit = 512;

    void Insert(TQSO qso);

    std::vector<std::vector<TQSO>> chunks_;
    // starts_[k] is the position of the first entry of chunks_[k].
    std::vector<std::size_t> starts_;
    std::size_t size_ = 0;
};

} // namespace zelmar
