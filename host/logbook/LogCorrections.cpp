#include "logbook/LogCorrections.h"

#include "logbook/LogBook.h"

namespace qarvel {

bool LogCorrections::Edit(qint64 id, const QsoRow& row, QString* error) {
    if (row.call.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("A QSO needs a call; the QSO was left as it was");
        return false;
    }
    const auto before = log_.Read(id, error);
    if (!before || !log_.Update(id, row, error))
        return false;
    done_.push_back({false, id, *before});
    return true;
}

bool LogCorrections::Delete(qint64 id, QString* error) {
    const auto before = log_.Read(id, error);
    if (!before || !log_.Remove(id, error))
        return false;
    done_.push_back({true, id, *before});
    return true;
}

bool LogCorrections::Undo(QString* error) {
    if (done_.empty()) {
        if (error)
            *error = QStringLiteral("There is no correction to undo");
        return false;
    }
    // Taken off first: a step that cannot be undone (its QSO deleted
    // elsewhere, a refused write) must not stand in front of the older
    // ones for good.
    const Change last = done_.back();
    done_.pop_back();
    qint64 back = last.id;
    const bool ok = last.deleted ? log_.Restore(last.id, last.before, error, &back)
                                 : log_.Update(last.id, last.before, error);
    if (!ok) {
        if (error && last.deleted)
            *error += QStringLiteral(". The deleted QSO was: %1 %2 %3 %4 %5 sent %6 received %7")
                          .arg(last.before.date, last.before.time, last.before.call,
                               last.before.band, last.before.mode, last.before.sent,
                               last.before.received);
        return false;
    }
    // Back under a new ID (an older table gave its own to a later QSO): the
    // older steps that name it mean this QSO.
    if (back != 0 && back != last.id)
        for (Change& older : done_)
            if (older.id == last.id)
                older.id = back;
    return true;
}

} // namespace qarvel
