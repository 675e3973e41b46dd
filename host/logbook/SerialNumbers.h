#pragma once

#include <QObject>
#include <optional>

namespace qarvel {

// Where a station that sends serial numbers gets them: the number the next
// QSO sends, and word that a QSO was logged with one. A number once handed
// out is never handed out again, also after its QSO is deleted.
class SerialNumbers : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The number the next QSO sends; nothing while none is at hand (a
    // shared log whose server has not answered yet).
    virtual std::optional<int> Next() const = 0;
    // A QSO went into the log sending `number`.
    virtual void Used(int number) = 0;

signals:
    // Next() changed other than by Used (a block arrived).
    void Changed();
    // For the status bar; `failed` in red.
    void StatusChanged(const QString& text, bool failed);
};

} // namespace qarvel
