#pragma once

#include "app/StationSettings.h"
#include "logbook/SubmissionDetails.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace qarvel {

// What the command line asks qarvel to do.
struct CommandLine {
    QString log; // an SQLite file or a postgresql:// address; empty: the default log
    QString table = QStringLiteral("Log");
    QString countryFile; // cty.dat; empty: Debian's
    // Station overrides for this run; empty: the stored settings.
    QString call, myDxcc, myContinent, caption;
    std::optional<QString> rig; // rigctld's host:port; an empty one: no rig this run
    std::optional<QString> keyer; // cwdaemon's host:port; an empty one: no keyer this run
    std::optional<QString> cluster; // a DX cluster node's host:port; empty: none this run

    bool score = false;
    QString importFile;
    QString exportAdif;
    QString exportCabrillo;
    bool showMultipliers = false;
    bool follow = false; // print the score line at every change of a shared log
    bool check = false;     // report what a log checker would object to
    QStringList cabrillo;   // TAG=VALUE submission details for this run
    QString summary;        // the contest's summary: an .html page or a .png graph
    bool restation = false; // --call replaces the station the log keeps

    bool help = false;
    bool version = false;
    QString error; // set when the command line cannot be used

    // Work that needs no window: qarvel does it and exits.
    bool Headless() const {
        return score || follow || check || !importFile.isEmpty() || !exportAdif.isEmpty() ||
               !exportCabrillo.isEmpty() || !summary.isEmpty();
    }

    // Work that only reads the log: nothing but the files asked for is
    // written (no backups, no settings, no change of the log).
    bool ReadOnly() const { return Headless() && importFile.isEmpty() && !restation; }

    // The stored submission details with this run's --cabrillo values: a
    // header given replaces the stored one (ADDRESS and SOAPBOX: all their
    // stored lines).
    SubmissionDetails Submission(SubmissionDetails stored) const;

    // The stored station with this run's overrides: a call given without a
    // prefix or continent has them resolved with `countries` (when given).
    StationSettings Station(StationSettings stored, const CountryFile* countries) const;

    // `arguments` as main() gets them, the program name first.
    static CommandLine Parse(const QStringList& arguments);
    static QString HelpText();
};

} // namespace qarvel
