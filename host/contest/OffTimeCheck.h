#pragma once

#include "contest/LogFinding.h"
#include "logbook/SubmissionDetails.h"

#include <vector>

namespace qarvel {

// The off-time part of the whole-log check: each break the contest's
// minimum lets count, as information on the QSO that ends it, and, when
// the contest sets a maximum operating time, a fault on the first QSO that
// takes the log's time on beyond it.
class OffTimeCheck {
public:
    explicit OffTimeCheck(const SubmissionDetails& details);

    // `rows` in entry order (the findings number them so); the findings in
    // time order. QSOs whose time cannot be read are left out.
    std::vector<LogFinding> Check(const std::vector<QsoRow>& rows) const;

private:
    int minimumBreak_;
    int maximumOperating_;
};

} // namespace qarvel
