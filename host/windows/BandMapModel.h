#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QFont>
#include <vector>

namespace qarvel {

// A band map's rows as drawn: a list view asks only for the rows it shows,
// so a map of a thousand spots is filled again in a blink.
class BandMapModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kCallRole = Qt::UserRole;

    struct Row {
        QString text;
        QString call; // empty for the rig's row
        QString tip;
        QColor colour;
        QColor ground; // invalid: the view's
        bool bold = false;
        bool italic = false;
    };

    using QAbstractListModel::QAbstractListModel;

    // The view's font, which bold and italic rows are drawn in.
    void SetFont(const QFont& font) { font_ = font; }
    void SetRows(std::vector<Row> rows);
    const std::vector<Row>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<Row> rows_;
    QFont font_;
};

} // namespace qarvel
