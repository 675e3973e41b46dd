#pragma once

#include "BandFollower.h"
#include "LogQuery.h"
#include "StatisticGrid.h"
#include "TQSO.h"
#include "TQSOList.h"
#include "TStatistic.h"
#include "WorkedKeys.h"
#include "tables/ReferenceTables.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace zelmar {

// The figures ShowStatistic publishes, for callers that read them directly.
struct TStatisticTotals {
    std::int32_t QSOs = 0;
    std::int32_t points = 0;
    std::int32_t countyMultipliers = 0;
    std::int32_t DXCCMultipliers = 0;
    // Computed in 64 bits: a large log overflows 32-bit arithmetic.
    std::int64_t score = 0;
};

// The scoring state of one statistics window and the contest rules that work
// on it. Every rule reads the module-wide current record.
class TContestScorer {
public:
    explicit TContestScorer(TBandFollowerSource follower = {});

    TReferenceTables& Tables() { return tables_; }
    const TReferenceTables& Tables() const { return tables_; }

    // Appends the current record's call, band and mode to QSOList.
    void AddToQSOList();
    // Sorts QSOList by call (ordinal). After a counted QSO only the new entry
    // is out of place, and it is moved to its place by binary search.
    void SortQSOList();
    static int CompareQSOByCall(const TQSO& a, const TQSO& b);
    // The binary search, walk back and forward scan over QSOList as it
    // stands, sorted or not.
    bool IsDupe() const;

    // -1 for a duplicate, else the points 8, 4, 2 or 1; records the QSO,
    // its statistic and its multipliers when `record` is true.
    std::int32_t ScoreQSO(bool record);
    // Makes an open band follower select the current record's band.
    void ShowDXList();

    TStatisticTotals Totals() const;
    // Writes the six band rows, the totals row and the score line.
    void ShowStatistic(TStatisticGrid& grid) const;
    static std::string ScoreLine(const TStatisticTotals& totals);

    // Forgets everything counted and replays every row of the log table.
    void RecalcFromLog(TLogQuery& query, TStatisticGrid& grid, TMessagePump& pump);

    // Empties QSOList, StatList, DomWorked and DXCCWorked.
    void Clear();

    const TQSOList& QSOList() const { return qsoList_; }
    const std::vector<TStatistic>& StatList() const { return statList_; }
    const TWorkedKeys& DXCCWorked() const { return dxccWorked_; }
    const TWorkedKeys& DomWorked() const { return domWorked_; }

private:
    TStatistic& StatisticFor(const std::string& band);

    TBandFollowerSource follower_;
    TReferenceTables tables_;

    TQSOList qsoList_;
    // How many leading entries of qsoList_ are known to be in call order.
    std::size_t sortedCount_ = 0;

    std::vector<TStatistic> statList_;
    std::unordered_map<std::string, std::size_t> statIndex_;
    TWorkedKeys dxccWorked_;
    TWorkedKeys domWorked_;
};

} // namespace zelmar
