#pragma once

#include <QString>

namespace qarvel {

// How a serial number is keyed: operators disagree on leading zeros and on
// cut numbers, so both are the keyer's settings. The log always keeps the
// plain number (StoredSerial).
struct SerialStyle {
    enum class Cut { None, ZeroNine, ZeroNineOne }; // T for 0, N for 9, A for 1
    bool leadingZeros = true; // 001 rather than 1
    Cut cut = Cut::None;

    // The number as it goes out on the air.
    QString Keyed(int number) const;
};

// The number as the sent exchange stores it: three digits at least ("007").
QString StoredSerial(int number);
// The serial in a stored sent exchange ("599 007" -> 7); 0 when there is none.
int SerialIn(const QString& sentExchange);

} // namespace qarvel
