#pragma once

#include <QListWidgetItem>

namespace zelmar {

// A county code in the multipliers list. The list sorts its items with the
// locale's collation (case-sensitive), not by code points.
class TCountyItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;

    bool operator<(const QListWidgetItem& other) const override;
};

} // namespace zelmar
