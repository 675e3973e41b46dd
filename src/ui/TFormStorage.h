#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace zelmar {

// Restores a window's placement and stored values when it is shown and saves
// them when it closes or is destroyed.
class TFormStorage : public QObject {
    Q_OBJECT
public:
    explicit TFormStorage(QWidget* window);

    // The stored value of that name (compared without regard to case), or an
    // empty value when there is none.
    QVariant StoredValue(const QString& name) const;
    void SetStoredValue(const QString& name, const QVariant& value);

    void Restore();
    void Save(bool destroying);

    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

private:
    QWidget* window_;
    QList<QPair<QString, QVariant>> values_;
    bool restored_ = false;
    bool saved_ = false;
};

} // namespace zelmar
