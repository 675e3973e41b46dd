#pragma once

#include "logbook/SubmissionDetails.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace qarvel {

// The submission details kept in the log database itself, beside the log
// table they describe, so that they travel with the log file (and are
// shared by every position of a shared log). The table is qarvel's own and
// made on the first save; a log without it simply has no details yet.
class SubmissionStore {
public:
    static constexpr const char* kTable = "QarvelSubmission";

    SubmissionStore(QSqlDatabase db, QString logTable);

    // The stored details; empty ones when none are stored. Nothing, with
    // the reason, when the database cannot be read.
    std::optional<SubmissionDetails> Load(QString* error) const;
    // Replaces what is stored for this log table, in one transaction.
    bool Save(const SubmissionDetails& details, QString* error);

private:
    QSqlDatabase db_;
    QString logTable_;
};

} // namespace qarvel
