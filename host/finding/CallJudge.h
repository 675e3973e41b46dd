#pragma once

#include "finding/CallStatus.h"
#include "finding/StationHistory.h"
#include "finding/WorkedMultipliers.h"
#include "logbook/QsoRow.h"

#include "tables/ReferenceTables.h"

#include <QHash>
#include <QString>
#include <vector>

namespace qarvel {

class ContestSession;
class CountryFile;

// Tells, for a call the operator may work, what the QSO would bring on a
// band and mode: a dupe as the contest module says (_GetScore), else a new
// county or country multiplier as the log holds them, else plain points.
// It knows the log through the rows handed to it; the answers are kept
// per band and mode until the log changes, so band maps of hundreds of
// spots ask the module about each call once.
class CallJudge {
public:
    CallJudge(ContestSession& session, const CountryFile* countries);

    // The county and call exchange tables the module reads, from
    // <folder>/Plugins.
    void LoadTables(const QString& hostFolder);

    void Reset(const std::vector<QsoRow>& rows);
    void Add(const QsoRow& row);

    CallStatus Judge(const QString& call, const QString& band, const QString& mode);
    // The exchange to fill in: the call table's first, then the log's.
    QString KnownExchange(const QString& call, const QString& dxccPrefix) const;
    // Two or more counties a home station sent in this log; empty otherwise.
    QStringList DifferingCounties(const QString& call) const;

    const StationHistory& History() const { return history_; }

private:
    QString CountyOf(const QString& exchange) const;
    void Forget();

    ContestSession& session_;
    const CountryFile* countries_;
    zelmar::TReferenceTables tables_;
    StationHistory history_;
    WorkedMultipliers worked_;
    QHash<QString, CallStatus> cache_; // "band|mode|call"
};

} // namespace qarvel
