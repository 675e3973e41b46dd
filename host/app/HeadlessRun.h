#pragma once

#include "app/CommandLine.h"
#include "logbook/LogBook.h"
#include "logbook/SubmissionDetails.h"

#include <QTextStream>

namespace qarvel {

class ContestSession;
class CountryFile;

// qarvel without a window: import, score and exports on an open log, in
// that order, each saying what it did on `out` and what went wrong on
// `err`. The module runs offscreen; its message boxes are closed and their
// texts reported as errors.
class HeadlessRun {
public:
    enum Status { Ok = 0, Failed = 1, Skipped = 3, Findings = 4 };

    // `countries` may be null when no import is asked for.
    HeadlessRun(const CommandLine& options, const StationSettings& station,
                const CountryFile* countries, QTextStream& out, QTextStream& err);

    // Expects the log open as ContestSession::ConnectionName(); `plugins`
    // is the module folder.
    int Exec(const QString& pluginsFolder);

    // The statistics grid as aligned text, the band labels left and the
    // figures right, one line per grid row.
    static QString FormatGrid(const std::vector<QStringList>& rows);

private:
    bool Import(LogBook& log);
    bool Check(LogBook& log, const QString& pluginsFolder);
    bool LoadSubmission(LogBook& log);
    bool ScoreAndCabrillo(LogBook& log, const QString& pluginsFolder);
    // Loads the contest module and gives it the station; false, said on
    // the error stream, when there is none.
    bool LoadSession(ContestSession& session, const QString& pluginsFolder);
    bool WriteFile(const QString& path, const QByteArray& data);
    // --summary: the HTML page or the PNG graph.
    bool Summary(LogBook& log, const QString& pluginsFolder);
    // --follow: runs until SIGINT or SIGTERM.
    bool Follow(LogBook& log, const QString& pluginsFolder);

    const CommandLine& options_;
    StationSettings station_;
    const CountryFile* countries_;
    QTextStream& out_;
    QTextStream& err_;
    bool skipped_ = false;
    bool found_ = false;
    SubmissionDetails submission_;
};

} // namespace qarvel
