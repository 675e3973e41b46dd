#pragma once

#include "CoreFakes.h"
#include "RecordBuilder.h"
#include "plugin/CurrentRecord.h"
#include "scoring/ContestScorer.h"

#include <cstdint>
#include <string>

namespace zelmar::testing {

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
