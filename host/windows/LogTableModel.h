#pragma once

#include "logbook/LogEntry.h"

#include <QAbstractTableModel>
#include <vector>

namespace qarvel {

class LogBook;

// The log as the main window shows it, newest QSO last. Read whole only by
// Reload (at start, after an import or a correction); a QSO logged here or
// at another position is appended, so a new QSO costs the same in a log of
// any size.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LogTableModel(LogBook& log, QObject* parent = nullptr);

    // Reads the log again; false, with the reason, when it cannot be read
    // (the rows shown stay as they were).
    bool Reload(QString* error = nullptr);
    void Append(qint64 id, const QsoRow& row);

    const LogEntry& EntryAt(int row) const { return entries_[static_cast<std::size_t>(row)]; }
    // The widest text a column is expected to hold, to size it once.
    static QString SampleText(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    LogBook& log_;
    std::vector<LogEntry> entries_;
};

} // namespace qarvel
