#include "windows/LogCorrectionFlow.h"

#include "contest/ContestSession.h"
#include "windows/LogTableModel.h"
#include "windows/QsoEditDialog.h"
#include "ui/ErrorReporter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTableView>

namespace qarvel {

LogCorrectionFlow::LogCorrectionFlow(LogBook& log, LogTableModel& model, ContestSession& session,
                                     const CountryFile* countries, QTableView* view,
                                     QWidget* window)
    : QObject(window), corrections_(log), model_(model), session_(session),
      countries_(countries), view_(view), window_(window) {
    view_->installEventFilter(this);
}

void LogCorrectionFlow::EditRow(int row) {
    if (row < 0 || row >= model_.rowCount())
        return;
    const LogEntry entry = model_.EntryAt(row);
    QsoEditDialog dialog(entry.row, countries_, window_);
    if (dialog.exec() == QDialog::Accepted && dialog.Edited() != entry.row)
        ApplyEdit(entry.id, dialog.Edited());
    emit Finished();
}

void LogCorrectionFlow::DeleteRow(int row) {
    if (row < 0 || row >= model_.rowCount())
        return;
    const LogEntry entry = model_.EntryAt(row);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Delete QSO"),
                    QStringLiteral("Delete the QSO with %1 on %2 at %3 %4?")
                        .arg(entry.row.call, entry.row.band, entry.row.date, entry.row.time),
                    QMessageBox::Yes | QMessageBox::No, window_);
    box.setObjectName(QStringLiteral("DeleteQuestion"));
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() == QMessageBox::Yes)
        ApplyDelete(entry.id);
    emit Finished();
}

void LogCorrectionFlow::EditLast() {
    EditRow(model_.rowCount() - 1);
}

void LogCorrectionFlow::DeleteLast() {
    DeleteRow(model_.rowCount() - 1);
}

bool LogCorrectionFlow::ApplyEdit(qint64 id, const QsoRow& edited) {
    QString error;
    const bool ok = corrections_.Edit(id, edited, &error);
    if (!ok)
        zelmar::ReportError(QStringLiteral("The QSO was not changed: %1").arg(error));
    Refresh();
    return ok;
}

bool LogCorrectionFlow::ApplyDelete(qint64 id) {
    QString error;
    const bool ok = corrections_.Delete(id, &error);
    if (!ok)
        zelmar::ReportError(QStringLiteral("The QSO was not deleted: %1").arg(error));
    Refresh();
    return ok;
}

bool LogCorrectionFlow::Undo() {
    if (!corrections_.CanUndo()) {
        // Pressing Alt+U once too often is no error: a word in the status
        // bar, not a box to dismiss in the middle of a pile-up.
        emit Note(QStringLiteral("Nothing left to undo"));
        emit Finished();
        return false;
    }
    QString error;
    const bool ok = corrections_.Undo(&error);
    if (!ok)
        zelmar::ReportError(QStringLiteral("Nothing was undone: %1").arg(error));
    else
        Refresh();
    emit Finished();
    return ok;
}

void LogCorrectionFlow::Refresh() {
    // Read again even after a failure: the log may differ from the view
    // (another position's change), and the module counts what the log holds.
    QString error;
    if (!model_.Reload(&error))
        zelmar::ReportError(error);
    view_->scrollToBottom();
    session_.Recalc();
}

bool LogCorrectionFlow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int row = view_->currentIndex().row();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
            EditRow(row);
            return true;
        }
        if (key == Qt::Key_Delete) {
            DeleteRow(row);
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit Finished();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qarvel
