#include "TFormStorage.h"

#include <QWidget>

namespace zelmar {

TFormStorage::TFormStorage(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("FormStorage1"));
}

QVariant TFormStorage::StoredValue(const QString& name) const {
    for (const auto& [n, v] : values_)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

void TFormStorage::SetStoredValue(const QString& name, const QVariant& value) {
    for (auto& [n, v] : values_)
        if (n.compare(name, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    values_.append({name, value});
}

void TFormStorage::Restore() {
    saved_ = false;
    restored_ = true;
}

void TFormStorage::Save(bool /*destroying*/) {
    if (!restored_)
        return;
    saved_ = true;
}

} // namespace zelmar
