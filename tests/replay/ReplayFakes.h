#pragma once

#include "scoring/BandFollower.h"
#include "scoring/LogQuery.h"
#include "scoring/StatisticGrid.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelmar::testing {

// The statistics grid as the cells written since the last emptying; a cell
// never written reads "<untouched>".
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

// The multipliers window as the scoring sees it.
class RecordingFollower : public TBandFollower {
public:
    void SelectBand(std::int32_t n) override { selected.push_back(n); }
    std::vector<std::int32_t> selected;
};

// Counts the pumps and runs `onPump` at each, to look at the state then.
class CountingPump : public TMessagePump {
public:
    void ProcessMessages() override {
        ++calls;
        if (onPump)
            onPump();
    }
    int calls = 0;
    std::function<void()> onPump;
};

// A query that never reaches a database: it records what it was asked.
class SpyQuery : public TLogQuery {
public:
    void Close() override { calls.push_back("Close"); }
    void SetSQL(const std::string& statement) override { calls.push_back("SetSQL " + statement); }
    void Open() override { calls.push_back("Open"); }
    bool Eof() const override { return true; }
    void Next() override { calls.push_back("Next"); }
    std::string FieldAsText(std::string_view name) override {
        calls.push_back("FieldAsText " + std::string(name));
        return {};
    }
    std::vector<std::string> calls;
};

} // namespace zelmar::testing
