#pragma once

#include "logbook/LogEntry.h"

#include <QAbstractTableModel>
#include <vector>

namespace qarvel {

class LogBook;

// The log as the main window shows it, in entry order (by the log's ID),
// newest QSO last. Rows are added, changed and removed one by one, keyed by
// the log's ID, never by a reset: a view keeps its selection and its place
// while other positions log. A QSO still waiting to reach a shared log
// (ID 0) stays last until it arrives.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LogTableModel(LogBook& log, QObject* parent = nullptr);

    // Reads the whole log and brings the rows to it; false, with the
    // reason, when it cannot be read (the rows shown stay as they were).
    bool Reload(QString* error = nullptr);
    // Brings the rows to `entries` (the log in entry order) with the fewest
    // inserts, removes and changes.
    void Merge(std::vector<LogEntry> entries);
    // At its place by ID; a row shown already (the same ID, or the same QSO
    // still waiting under ID 0) is updated in place instead.
    void Append(qint64 id, const QsoRow& row);
    // False when no row has this ID.
    bool Update(qint64 id, const QsoRow& row);
    bool Remove(qint64 id);

    // The row of the log's row `id`, of the QSO `qsoId`; -1 when not shown.
    int RowOf(qint64 id) const;
    int RowOfQso(const QString& qsoId) const;
    // The newest row logged at `position`; -1 when there is none.
    int LastRowOf(const QString& position) const;

    const LogEntry& EntryAt(int row) const { return entries_[static_cast<std::size_t>(row)]; }
    // The widest text a column is expected to hold, to size it once.
    static QString SampleText(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void RemoveRow(int row);

    LogBook& log_;
    std::vector<LogEntry> entries_;
};

} // namespace qarvel
