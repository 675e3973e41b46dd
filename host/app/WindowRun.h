#pragma once

#include "app/CommandLine.h"

namespace qarvel {

class CountryFile;

// qarvel with its windows: asks for the station on the first start, opens
// the main window and the module's statistics window, runs until the main
// window is closed, then releases the module safely.
class WindowRun {
public:
    WindowRun(const CommandLine& options, const StationSettings& stored,
              const CountryFile* countries);
    // Shown in the status bar once the window is up: what became of the
    // log's own station (empty: nothing to say).
    void SetStationNote(const QString& note) { stationNote_ = note; }
    // Expects the log open as ContestSession::ConnectionName().
    int Exec(const QString& pluginsFolder, const QString& logTitle);

private:
    const CommandLine& options_;
    StationSettings station_;
    const CountryFile* countries_;
    QString stationNote_;
};

} // namespace qarvel
