#include "windows/LogTableModel.h"

#include "logbook/LogBook.h"
#include "reference/BandPlan.h"

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
    beginResetModel();
    entries_ = std::move(*entries);
    endResetModel();
    return true;
}

void LogTableModel::Append(qint64 id, const QsoRow& row) {
    const int at = static_cast<int>(entries_.size());
    beginInsertRows({}, at, at);
    entries_.push_back({id, row});
    endInsertRows();
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
