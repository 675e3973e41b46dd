#pragma once

#include "logbook/QsoRow.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace qarvel {

// The log as an .adi file that qarvel (and other loggers) read back: CALL,
// QSO_DATE, TIME_ON, BAND, FREQ when known, MODE, the reports and exchanges
// (RST_SENT/STX_STRING, RST_RCVD/SRX_STRING) and CONT.
QByteArray WriteAdif(const std::vector<QsoRow>& rows, const QString& programVersion);

} // namespace qarvel
