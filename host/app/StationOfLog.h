#pragma once

#include "app/CommandLine.h"
#include "app/StationSettings.h"

#include <QString>

namespace qarvel {

class CountryFile;
class LogBook;

// Which station an open log is scored, checked and sent in as. A log keeps
// its own (StationStore); the settings and --call only give a new log its
// station, or one made by an older qarvel, which then keeps them. The log
// name, the rig and the position stay settings of this computer.
class StationOfLog {
public:
    enum class Outcome { Ok, Refused, Failed };

    // `settings` as stored on this computer; the command line's overrides
    // are applied here.
    StationOfLog(const CommandLine& options, const StationSettings& settings,
                 const CountryFile* countries);

    // Decides the station of `log`. With `mayStore` a station the log lacks
    // (or --restation's) is kept in it; without, nothing is written. What
    // the operator should know is put in `note`; why a run cannot go on in
    // `error` (Refused: --call names another call than the log's).
    Outcome Decide(LogBook& log, bool mayStore, QString* note, QString* error);

    const StationSettings& Station() const { return station_; }

    // Keeps the station an operator gave (Station > Settings, or the first
    // start) in the log.
    static bool Keep(LogBook& log, const StationSettings& station, QString* error);

private:
    const CommandLine& options_;
    StationSettings settings_;
    const CountryFile* countries_;
    StationSettings station_;
};

} // namespace qarvel
