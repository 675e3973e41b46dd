#pragma once

#include <QString>

namespace qarvel {

// One QSO as the log keeps it: the columns of the log table, as text.
struct QsoRow {
    QString date;       // yyyy-MM-dd, UTC
    QString time;       // HH:mm:ss, UTC
    QString call;       // upper case
    QString frequency;  // MHz as logged ("14.025"); may be empty
    QString band;       // one of the band texts ("14")
    QString mode;       // "CW", "SSB", ...
    QString sent;       // report sent ("599 BU")
    QString received;   // exchange received ("599 AB")
    QString dxccPrefix; // primary prefix of the country ("DL")
    QString mainPrefix; // the prefix or exact call that decided the country
    QString continent;  // "EU"
    QString position;   // the operating position that logged it ("RUN1"); may be empty
    QString qsoId;      // made at that position once (a UUID), so no path counts it twice

    friend bool operator==(const QsoRow&, const QsoRow&) = default;
};

} // namespace qarvel
