#pragma once

#include <QDialog>
#include <QList>

class QAction;
class QTableWidget;

namespace qarvel {

// Help > Keys: every key of the main window and the entry line with what
// it does, read from the actions themselves so the list is never stale.
class KeysWindow : public QDialog {
    Q_OBJECT
public:
    KeysWindow(const QList<QAction*>& actions, QWidget* parent = nullptr);

private:
    QSize FittingSize(const QTableWidget* table) const;
};

} // namespace qarvel
