#pragma once

#include "RecordBuilder.h"
#include "plugin/CurrentRecord.h"
#include "scoring/BandFollower.h"
#include "scoring/ContestScorer.h"
#include "scoring/StatisticGrid.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelmar::testing {

// The statistics grid as a map of the cells written, so that a test sees
// exactly which cells were touched.
class FakeGrid : public TStatisticGrid {
public:
    void SetCell(int column, int row, const std::string& text) override {
        cells[{column, row}] = text;
    }
    void ClearFigures() override {
        cells.clear();
        ++clears;
    }
    void SetScoreLine(const std::string& text) override { scoreLine = text; }

    // The cell text, or "<untouched>" for a cell never written.
    std::string Cell(int column, int row) const {
        const auto it = cells.find({column, row});
        return it == cells.end() ? "<untouched>" : it->second;
    }
    std::vector<std::string> Row(int row) const {
        return {Cell(1, row), Cell(2, row), Cell(3, row), Cell(4, row)};
    }

    std::map<std::pair<int, int>, std::string> cells;
    std::string scoreLine;
    int clears = 0;
};

// The multipliers window as the scoring sees it: it only records the bands
// it was told to select.
class FakeBandFollower : public TBandFollower {
public:
    void SelectBand(std::int32_t n) override { selected.push_back(n); }
    std::vector<std::int32_t> selected;
};

// Puts a record into the current record, as an entry point would.
inline void Hand(const RecordBuilder& record) {
    CopyInRecord(record.Ptr());
}

// A QSO of the operator's own set-up (EU, DL): only what the test varies.
inline RecordBuilder Qso(const std::string& call, const std::string& band = "14",
                         const std::string& mode = "CW", const std::string& prefix = "F",
                         const std::string& continent = "EU", const std::string& exchange = "") {
    return RecordBuilder()
        .Call(call)
        .Band(band)
        .Mode(mode)
        .Prefix(prefix)
        .Continent(continent)
        .Exchange(exchange);
}

// What _AddQSO does with the scoring state, without the window.
inline std::int32_t AddQSO(TContestScorer& scorer, const RecordBuilder& record) {
    Hand(record);
    const std::int32_t result = scorer.ScoreQSO(true);
    if (result > 0)
        scorer.SortQSOList();
    return result;
}

inline std::int32_t GetScore(TContestScorer& scorer, const RecordBuilder& record) {
    Hand(record);
    return scorer.ScoreQSO(false);
}

} // namespace zelmar::testing
