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
    const Change& last = done_.back();
    const bool ok = last.deleted ? log_.Restore(last.id, last.before, error)
                                 : log_.Update(last.id, last.before, error);
    if (ok)
        done_.pop_back();
    return ok;
}

} // namespace qarvel
