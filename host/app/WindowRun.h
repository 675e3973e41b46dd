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
    // Expects the log open as ContestSession::ConnectionName().
    int Exec(const QString& pluginsFolder, const QString& logTitle);

private:
    const CommandLine& options_;
    StationSettings station_;
    const CountryFile* countries_;
};

} // namespace qarvel
