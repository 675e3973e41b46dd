#pragma once

#include "logbook/LogCorrections.h"
#include "logbook/LogEntry.h"

#include <QObject>

class QTableView;
class QWidget;

namespace qarvel {

class ContestSession;
class CountryFile;
class LogBook;
class LogTableModel;

// Corrections from the log view: edit or delete a QSO (a delete asks once),
// undo the newest. After each change the view is brought to the log row by
// row and the module replays the log, so its figures always equal a replay of the file. In the
// view, Enter or F2 edits the current row, Delete deletes it.
class LogCorrectionFlow : public QObject {
    Q_OBJECT
public:
    LogCorrectionFlow(LogBook& log, LogTableModel& model, ContestSession& session,
                      const CountryFile* countries, QTableView* view, QWidget* window);

    // With the dialog / the question; `row` is the view's row.
    void EditRow(int row);
    void DeleteRow(int row);
    // The newest QSO this position logged (Alt+E, Alt+D).
    void EditLast();
    void DeleteLast();
    // This position's name, as its QSOs carry it.
    void SetPosition(const QString& position);

    // Without asking: the change itself, as the dialog and the question
    // hand it on. False when it was refused or failed; the operator is told.
    bool ApplyEdit(qint64 id, const QsoRow& edited);
    bool ApplyDelete(qint64 id);
    bool Undo();

signals:
    // A change went into the log (or was tried): the entry line wants the
    // focus back.
    void Finished();
    // A word for the status bar.
    void Note(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    int OwnLastRow();
    // In the status bar: nothing to act on is no error.
    void Tell(const QString& text);
    // A QSO still in the outbox has no row in the log to change yet.
    bool Waiting(const LogEntry& entry);

    LogCorrections corrections_;
    LogTableModel& model_;
    ContestSession& session_;
    const CountryFile* countries_;
    QTableView* view_;
    QWidget* window_;
    QString position_;
};

} // namespace qarvel
