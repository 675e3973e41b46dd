#pragma once

#include "contest/LogFinding.h"
#include "app/StationSettings.h"
#include "logbook/SubmissionDetails.h"

#include <optional>
#include <vector>

namespace qarvel {

class MasterScp;
class QsoCheck;

// What a log checker or a contest's robot would object to in a whole log,
// before it is sent: county and country faults (QsoCheck), QSOs on bands
// the contest is not worked on, frequencies against bands, QSOs out of time
// order or outside the contest period, a missing sent exchange or one that
// does not fit the station, a station outside YO's repeated, missing or
// out-of-order serial numbers, categories a robot needs and the log lacks,
// and a declared band category the log contradicts. Duplicates and calls
// MASTER.SCP does not list are information. It only reads.
class LogCheck {
public:
    // `scp` may be null or empty: no call is then looked up in it.
    LogCheck(const QsoCheck& qsoCheck, const MasterScp* scp);

    // The log's own station: what it sends is judged against it. Without
    // one, nothing is.
    void SetStation(const StationSettings& station) { station_ = station; }

    // `rows` in entry order; the findings about the whole log first, then
    // those of the QSOs in that order, those of one QSO together.
    std::vector<LogFinding> Check(const std::vector<QsoRow>& rows,
                                  const SubmissionDetails& details) const;

    // The findings that are faults (not information only).
    static int Faults(const std::vector<LogFinding>& findings);

private:
    void CheckStation(const std::vector<QsoRow>& rows, std::vector<LogFinding>& out) const;
    void CheckSerials(const std::vector<QsoRow>& rows, std::vector<LogFinding>& out) const;

    const QsoCheck& qsoCheck_;
    const MasterScp* scp_;
    std::optional<StationSettings> station_;
};

} // namespace qarvel
