#pragma once

#include <string>

namespace zelmar {

// Where the figures are published: the statistics grid, addressed (column,
// row) from (0, 0), and the score line.
class TStatisticGrid {
public:
    virtual ~TStatisticGrid() = default;
    virtual void SetCell(int column, int row, const std::string& text) = 0;
    // Empties every cell outside row 0 and column 0.
    virtual void ClearFigures() = 0;
    virtual void SetScoreLine(const std::string& text) = 0;
};

} // namespace zelmar
