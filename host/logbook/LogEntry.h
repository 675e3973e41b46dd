#pragma once

#include "logbook/QsoRow.h"

#include <QtGlobal>

namespace qarvel {

// A QSO together with the number the log table keys its row by (the ID
// column): what a correction or a view of the log needs to find it again.
struct LogEntry {
    qint64 id = 0;
    QsoRow row;
};

} // namespace qarvel
