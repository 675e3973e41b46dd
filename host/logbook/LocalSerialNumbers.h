#pragma once

#include "logbook/SerialNumbers.h"

namespace qarvel {

class LogBook;

// The serial numbers of a log only this computer writes (SQLite): the next
// free number of the log. The highest number handed out is kept in a small
// table of the log itself (QarvelSerial), so a deleted QSO's number is not
// used again, and the log carries its count wherever it is copied.
class LocalSerialNumbers : public SerialNumbers {
    Q_OBJECT
public:
    explicit LocalSerialNumbers(LogBook& log, QObject* parent = nullptr);

    std::optional<int> Next() const override;
    void Used(int number) override;

private:
    // Read when first needed: a YO station's log never gets the table.
    void Load() const;

    LogBook& log_;
    mutable std::optional<int> highest_;
};

} // namespace qarvel
