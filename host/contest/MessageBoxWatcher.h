#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace qarvel {

// Without a window nobody could answer a message box: this closes every one
// that opens (the module reports its errors in one) and keeps its text.
class MessageBoxWatcher : public QObject {
    Q_OBJECT
public:
    explicit MessageBoxWatcher(QObject* parent = nullptr);
    const QStringList& Texts() const { return texts_; }

private:
    void CloseOpenBoxes();

    QTimer timer_;
    QStringList texts_;
};

} // namespace qarvel
