#pragma once

#include "logbook/QsoRow.h"

#include <QString>
#include <vector>

namespace qarvel {

class LogBook;

// Edits and deletes of logged QSOs, keyed by the row's ID, each one
// transaction, and their undo, newest first. A failed change leaves the
// row as it was and is not remembered.
class LogCorrections {
public:
    explicit LogCorrections(LogBook& log) : log_(log) {}

    // Refuses a row without a call.
    bool Edit(qint64 id, const QsoRow& row, QString* error);
    bool Delete(qint64 id, QString* error);
    // Takes back the newest edit or delete still remembered. It is
    // forgotten even when that fails, so the next Undo takes back the one
    // before it; the error then names a deleted QSO that did not come back.
    bool Undo(QString* error);
    bool CanUndo() const { return !done_.empty(); }

private:
    struct Change {
        bool deleted;
        qint64 id;
        QsoRow before;
    };

    LogBook& log_;
    std::vector<Change> done_;
};

} // namespace qarvel
