#pragma once

#include "scoring/BandFollower.h"
#include "scoring/StatisticGrid.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelmar::testing {

// The statistics grid as a map of the cells written, so that a test sees
// exactly which cells were touched.
class RecordingGrid : public TStatisticGrid {
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
class RecordingFollower : public TBandFollower {
public:
    void SelectBand(std::int32_t n) override { selected.push_back(n); }
    std::vector<std::int32_t> selected;
};

} // namespace zelmar::testing
