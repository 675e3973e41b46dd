#include "windows/BandMapModel.h"


namespace qarvel {

void BandMapModel::SetRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int BandMapModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant BandMapModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return r.text;
    case Qt::ForegroundRole:
        return r.colour.isValid() ? QVariant(r.colour) : QVariant();
    case Qt::BackgroundRole:
        return r.ground.isValid() ? QVariant(r.ground) : QVariant();
    case Qt::ToolTipRole:
        return r.tip.isEmpty() ? QVariant() : QVariant(r.tip);
    case Qt::FontRole:
        if (r.bold || r.italic) {
            QFont f = font_;
            f.setBold(r.bold);
            f.setItalic(r.italic);
            return f;
        }
        return {};
    case kCallRole:
        return r.call;
    default:
        return {};
    }
}

Qt::ItemFlags BandMapModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The rig's row is shown, never picked.
    return rows_[static_cast<std::size_t>(index.row())].call.isEmpty()
               ? Qt::ItemIsEnabled
               : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace qarvel
