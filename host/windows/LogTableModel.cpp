#include "windows/LogTableModel.h"

#include "logbook/LogBook.h"
#include "reference/BandPlan.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <iterator>

namespace qarvel {

namespace {

struct Column {
    const char* heading;
    const char* sample;
    QString QsoRow::*field;
};

const Column kColumns[] = {
    {"Date", "2024-03-09", &QsoRow::date},     {"Time", "23:59:59", &QsoRow::time},
    {"Call", "YO3ZZZ/MM", &QsoRow::call},      {"MHz", "28.12345", &QsoRow::frequency},
    {"Band", "160", &QsoRow::band},            {"Mode", "RTTY", &QsoRow::mode},
    {"Sent", "599 001 BU", &QsoRow::sent},     {"Received", "599 001 AB", &QsoRow::received},
    {"DXCC", "VP2E", &QsoRow::dxccPrefix},     {"Prefix", "VP2E/W", &QsoRow::mainPrefix},
    {"Cont", "EU", &QsoRow::continent},        {"Pos", "RUN12", &QsoRow::position},
};

constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

} // namespace

LogTableModel::LogTableModel(LogBook& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log) {}

bool LogTableModel::Reload(QString* error) {
    auto entries = log_.ReadEntries(error);
    if (!entries)
        return false;
    Merge(std::move(*entries));
    return true;
}

namespace {

// Rows [0, end) are those in the log, ascending by ID; after them only
// QSOs still waiting (ID 0).
std::size_t LoggedEnd(const std::vector<LogEntry>& entries) {
    std::size_t end = entries.size();
    while (end > 0 && entries[end - 1].id == 0)
        --end;
    return end;
}

} // namespace

void LogTableModel::Merge(std::vector<LogEntry> fresh) {
    QHash<qint64, std::size_t> freshAt;
    QSet<QString> freshQsos;
    freshAt.reserve(static_cast<qsizetype>(fresh.size()));
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        freshAt.insert(fresh[i].id, i);
        freshQsos.insert(fresh[i].row.qsoId);
    }
    // Gone from the log, or arrived there: removed in runs, from the end.
    const auto gone = [&](int r) {
        const LogEntry& e = entries_[static_cast<std::size_t>(r)];
        return e.id != 0 ? !freshAt.contains(e.id)
                         : !e.row.qsoId.isEmpty() && freshQsos.contains(e.row.qsoId);
    };
    for (int row = static_cast<int>(entries_.size()) - 1; row >= 0;) {
        if (!gone(row)) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && gone(first - 1))
            --first;
        beginRemoveRows({}, first, row);
        entries_.erase(entries_.begin() + first, entries_.begin() + row + 1);
        endRemoveRows();
        row = first - 1;
    }
    // Changed elsewhere: in place.
    for (std::size_t r = 0; r < entries_.size(); ++r) {
        LogEntry& e = entries_[r];
        if (e.id == 0)
            continue;
        const LogEntry& f = fresh[freshAt.value(e.id)];
        if (f.row == e.row)
            continue;
        e.row = f.row;
        emit dataChanged(index(static_cast<int>(r), 0),
                         index(static_cast<int>(r), columnCount() - 1));
    }
    // New: each run of them where it belongs by ID.
    std::size_t row = 0;
    std::size_t end = LoggedEnd(entries_);
    for (std::size_t j = 0; j < fresh.size();) {
        while (row < end && entries_[row].id < fresh[j].id)
            ++row;
        if (row < end && entries_[row].id == fresh[j].id) {
            ++row;
            ++j;
            continue;
        }
        std::size_t k = j;
        while (k < fresh.size() && (row == end || fresh[k].id < entries_[row].id))
            ++k;
        const auto count = static_cast<int>(k - j);
        beginInsertRows({}, static_cast<int>(row), static_cast<int>(row) + count - 1);
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(row),
                        std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(j)),
                        std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(k)));
        endInsertRows();
        row += k - j;
        end += k - j;
        j = k;
    }
}

void LogTableModel::Append(qint64 id, const QsoRow& row) {
    if (id != 0 && Update(id, row))
        return;
    int waiting = row.qsoId.isEmpty() ? -1 : RowOfQso(row.qsoId);
    if (waiting >= 0 && entries_[static_cast<std::size_t>(waiting)].id != 0)
        waiting = -1;
    if (waiting >= 0 && id == 0) {
        entries_[static_cast<std::size_t>(waiting)].row = row;
        emit dataChanged(index(waiting, 0), index(waiting, columnCount() - 1));
        return;
    }
    const std::size_t loggedEnd = LoggedEnd(entries_);
    int at = static_cast<int>(entries_.size());
    if (id != 0)
        at = static_cast<int>(
            std::upper_bound(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(loggedEnd),
                             id, [](qint64 v, const LogEntry& e) { return v < e.id; }) -
            entries_.begin());
    if (waiting >= 0) {
        // A waiting QSO reached the log: it takes its ID, and its place.
        if (waiting == at) {
            entries_[static_cast<std::size_t>(at)] = {id, row};
            emit dataChanged(index(at, 0), index(at, columnCount() - 1));
            return;
        }
        RemoveRow(waiting);
        if (waiting < at)
            --at;
    }
    beginInsertRows({}, at, at);
    entries_.insert(entries_.begin() + at, LogEntry{id, row});
    endInsertRows();
}

bool LogTableModel::Update(qint64 id, const QsoRow& row) {
    const int at = RowOf(id);
    if (at < 0)
        return false;
    LogEntry& e = entries_[static_cast<std::size_t>(at)];
    if (!(e.row == row)) {
        e.row = row;
        emit dataChanged(index(at, 0), index(at, columnCount() - 1));
    }
    return true;
}

bool LogTableModel::Remove(qint64 id) {
    const int at = RowOf(id);
    if (at < 0)
        return false;
    RemoveRow(at);
    return true;
}

void LogTableModel::RemoveRow(int row) {
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    endRemoveRows();
}

int LogTableModel::RowOf(qint64 id) const {
    if (id == 0)
        return -1;
    const auto end = entries_.begin() + static_cast<std::ptrdiff_t>(LoggedEnd(entries_));
    const auto it = std::lower_bound(entries_.begin(), end, id,
                                     [](const LogEntry& e, qint64 v) { return e.id < v; });
    return it != end && it->id == id ? static_cast<int>(it - entries_.begin()) : -1;
}

int LogTableModel::RowOfQso(const QString& qsoId) const {
    for (int r = static_cast<int>(entries_.size()) - 1; r >= 0; --r)
        if (entries_[static_cast<std::size_t>(r)].row.qsoId == qsoId)
            return r;
    return -1;
}

int LogTableModel::LastRowOf(const QString& position) const {
    const QString own = position.trimmed();
    for (int r = static_cast<int>(entries_.size()) - 1; r >= 0; --r)
        if (entries_[static_cast<std::size_t>(r)].row.position.trimmed().compare(
                own, Qt::CaseInsensitive) == 0)
            return r;
    return -1;
}

QString LogTableModel::SampleText(int column) {
    return column >= 0 && column < kColumnCount ? QLatin1String(kColumns[column].sample)
                                                : QString();
}

int LogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int LogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount() ||
        index.column() >= kColumnCount)
        return {};
    const QString& text = EntryAt(index.row()).row.*kColumns[index.column()].field;
    // In metres, as the entry line and the statistics window name bands.
    if (kColumns[index.column()].field == &QsoRow::band && !MetresOfBand(text).isEmpty())
        return MetresOfBand(text);
    return text;
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QLatin1String(kColumns[section].heading);
}

} // namespace qarvel
