#pragma once

#include <QObject>
#include <QString>

class QTableView;

namespace qarvel {

class LogBook;
class LogTableModel;
class SharedLog;
struct QsoRow;

// Keeps the log view equal to a shared log as the other positions change
// it: each announced insert, edit or delete touches its one row, read by
// its QSO id, so the operator's selection and place in the view stay. A
// view scrolled to the newest row follows new rows; one scrolled back
// stays where it is.
class LogViewFollower : public QObject {
    Q_OBJECT
public:
    LogViewFollower(LogBook& log, LogTableModel& model, QTableView* view,
                    QObject* parent = nullptr);

    // Follows a shared log's copy: each row another position inserts,
    // changes or deletes, and the copy made equal to the server again.
    void Follow(SharedLog& shared);

    // One announcement of the log table's trigger: "INSERT <qso id>
    // <position>", "UPDATE ...", "DELETE ...", or "TRUNCATE".
    void Apply(const QString& announcement);
    // What was announced while the log could not be followed: the view is
    // brought to the whole log, still row by row.
    void Resync();
    // The shared log's state; back online after being away, what was
    // missed meanwhile is read.
    void OnlineChanged(bool online);

private:
    void Put(const QString& qsoId);
    void Show(qint64 id, const QsoRow& row);

    LogBook& log_;
    LogTableModel& model_;
    QTableView* view_;
    bool online_ = true;
};

} // namespace qarvel
