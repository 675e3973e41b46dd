#include "TCountyItem.h"

namespace zelmar {

bool TCountyItem::operator<(const QListWidgetItem& other) const {
    return QString::localeAwareCompare(text(), other.text()) < 0;
}

} // namespace zelmar
