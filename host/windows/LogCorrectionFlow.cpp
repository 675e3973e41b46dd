#include "windows/LogCorrectionFlow.h"

#include "contest/ContestSession.h"
#include "windows/LogTableModel.h"
#include "windows/QsoEditDialog.h"
#include "ui/ErrorReporter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableView>

namespace qarvel {

LogCorrectionFlow::LogCorrectionFlow(LogBook& log, LogTableModel& model, ContestSession& session,
                                     const CountryFile* countries, QTableView* view,
                                     QWidget* window)
    : QObject(window), corrections_(log), model_(model), session_(session),
      countries_(countries), view_(view), window_(window) {
    view_->installEventFilter(this);
}

void LogCorrectionFlow::SetPosition(const QString& position) {
    position_ = position;
}

void LogCorrectionFlow::Tell(const QString& text) {
    if (auto* window = qobject_cast<QMainWindow*>(window_))
        window->statusBar()->showMessage(text, 10000);
}

bool LogCorrectionFlow::Waiting(const LogEntry& entry) {
    if (entry.id != 0)
        return false;
    Tell(QStringLiteral("The QSO with %1 still waits to reach the shared log; it can be "
                        "corrected once it is there")
             .arg(entry.row.call));
    return true;
}

void LogCorrectionFlow::EditRow(int row) {
    if (row < 0 || row >= model_.rowCount())
        return;
    const LogEntry entry = model_.EntryAt(row);
    if (Waiting(entry)) {
        emit Finished();
        return;
    }
    QsoEditDialog dialog(entry.row, countries_, window_);
    if (dialog.exec() == QDialog::Accepted && dialog.Edited() != entry.row)
        ApplyEdit(entry.id, dialog.Edited());
    emit Finished();
}

void LogCorrectionFlow::DeleteRow(int row) {
    if (row < 0 || row >= model_.rowCount())
        return;
    const LogEntry entry = model_.EntryAt(row);
    if (Waiting(entry)) {
        emit Finished();
        return;
    }
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

int LogCorrectionFlow::OwnLastRow() {
    // Another position's QSO, last in a shared log's view, is corrected
    // only from the view, never by the keys meant for one's own.
    const int row = model_.LastRowOf(position_);
    if (row < 0) {
        Tell(QStringLiteral("This position has logged no QSO to correct"));
        emit Finished();
    }
    return row;
}

void LogCorrectionFlow::EditLast() {
    if (const int row = OwnLastRow(); row >= 0)
        EditRow(row);
}

void LogCorrectionFlow::DeleteLast() {
    if (const int row = OwnLastRow(); row >= 0)
        DeleteRow(row);
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
        zelmar::ReportError(
            QStringLiteral("Nothing was undone: %1.%2")
                .arg(error, corrections_.CanUndo()
                                ? QStringLiteral(" Undo now takes back the change before it.")
                                : QString()));
    Refresh();
    emit Finished();
    return ok;
}

void LogCorrectionFlow::Refresh() {
    // Read again even after a failure: the log may differ from the view
    // (another position's change), and the module counts what the log holds.
    // Row by row: the view keeps its selection and its place.
    QString error;
    if (!model_.Reload(&error))
        zelmar::ReportError(error);
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
