#pragma once

#include "logbook/QsoRow.h"

#include <QString>

namespace qarvel {

// One thing a whole-log check found, with the QSO it concerns.
struct LogFinding {
    int number = 0; // the QSO's place in entry order, from 1; 0: the log as a whole
    QsoRow qso;
    QString text;
    // Worth a look, but no fault (a call MASTER.SCP does not list): it
    // does not make the check fail.
    bool information = false;

    // "QSO 4, 2024-03-09 12:05 YO5ZAA 14 CW: ..." as the report shows it;
    // "Log: ..." for one about the whole log.
    QString Line() const;
};

} // namespace qarvel
