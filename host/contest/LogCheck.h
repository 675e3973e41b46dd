#pragma once

#include "contest/LogFinding.h"
#include "logbook/SubmissionDetails.h"

#include <vector>

namespace qarvel {

class MasterScp;
class QsoCheck;

// What a log checker or a contest's robot would object to in a whole log,
// before it is sent: duplicates, county and country faults (QsoCheck),
// calls MASTER.SCP does not list, frequencies against bands, QSOs out of
// time order or outside the contest period, a missing sent exchange, and a
// declared band category the log contradicts. It only reads.
class LogCheck {
public:
    // `scp` may be null or empty: no call is then looked up in it.
    LogCheck(const QsoCheck& qsoCheck, const MasterScp* scp);

    // `rows` in entry order; the findings in that order, those of one QSO
    // together.
    std::vector<LogFinding> Check(const std::vector<QsoRow>& rows,
                                  const SubmissionDetails& details) const;

    // The findings that are faults (not information only).
    static int Faults(const std::vector<LogFinding>& findings);

private:
    const QsoCheck& qsoCheck_;
    const MasterScp* scp_;
};

} // namespace qarvel
