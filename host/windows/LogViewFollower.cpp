#include "windows/LogViewFollower.h"

#include "logbook/LogBook.h"
#include "logbook/SharedLog.h"
#include "windows/LogTableModel.h"

#include <QScrollBar>
#include <QStringList>
#include <QTableView>

namespace qarvel {

LogViewFollower::LogViewFollower(LogBook& log, LogTableModel& model, QTableView* view,
                                 QObject* parent)
    : QObject(parent), log_(log), model_(model), view_(view) {}

void LogViewFollower::Follow(SharedLog& shared) {
    connect(&shared, &SharedLog::RowArrived, this, &LogViewFollower::Show);
    connect(&shared, &SharedLog::RowChanged, this, &LogViewFollower::Show);
    connect(&shared, &SharedLog::RowRemoved, this, [this](qint64 id) { model_.Remove(id); });
    connect(&shared, &SharedLog::Rebuilt, this, [this](bool changed) {
        if (changed)
            Resync();
    });
}

void LogViewFollower::Apply(const QString& announcement) {
    const QStringList parts = announcement.split(QLatin1Char(' '));
    const QString operation = parts.value(0);
    const QString qsoId = parts.value(1);
    if (qsoId.isEmpty()) {
        // A row without an id, or the whole table emptied.
        Resync();
        return;
    }
    if (operation == QLatin1String("DELETE")) {
        const int row = model_.RowOfQso(qsoId);
        if (row >= 0)
            model_.Remove(model_.EntryAt(row).id);
        return;
    }
    if (operation == QLatin1String("INSERT")) {
        // This position's own QSO is shown since its Enter.
        const int row = model_.RowOfQso(qsoId);
        if (row >= 0 && model_.EntryAt(row).id != 0)
            return;
    }
    Put(qsoId);
}

void LogViewFollower::Put(const QString& qsoId) {
    QString error;
    const auto entry = log_.ReadEntry(qsoId, &error);
    if (!entry) {
        if (!error.isEmpty())
            return; // unreadable now: read again once the log is back
        // Gone again before it could be read.
        const int row = model_.RowOfQso(qsoId);
        if (row >= 0 && model_.EntryAt(row).id != 0)
            model_.Remove(model_.EntryAt(row).id);
        return;
    }
    Show(entry->id, entry->row);
}

void LogViewFollower::Show(qint64 id, const QsoRow& row) {
    QScrollBar* bar = view_ ? view_->verticalScrollBar() : nullptr;
    const bool atNewest = bar && bar->value() == bar->maximum();
    const int before = model_.rowCount();
    model_.Append(id, row);
    if (atNewest && model_.rowCount() > before)
        view_->scrollToBottom();
}

void LogViewFollower::Resync() {
    QScrollBar* bar = view_ ? view_->verticalScrollBar() : nullptr;
    const bool atNewest = bar && bar->value() == bar->maximum();
    if (model_.Reload() && atNewest)
        view_->scrollToBottom();
}

void LogViewFollower::OnlineChanged(bool online) {
    if (online && !online_)
        Resync();
    online_ = online;
}

} // namespace qarvel
