#include "windows/KeysWindow.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qarvel {

namespace {

// Keys handled by the fields themselves, not by an action.
const char* const kFieldKeys[][2] = {
    {"Enter", "Log the QSO (a second Enter logs one the check found fault with)"},
    {"Enter (with a keyer)", "Send the next message (ESM); the last one logs the QSO"},
    {"Space", "Complete the call: fill in the known exchange"},
    {"Tab / Shift+Tab", "Next / previous field"},
    {"Enter, F2 (log view)", "Correct the QSO, also another position's"},
    {"Delete (log view)", "Delete the QSO, also another position's"},
    {"Esc (log view)", "Back to the call field"},
    {"Click (check-partial pane)", "Put the call into the Call field"},
    {"Enter, double click (band map)", "Grab the spot: tune the rig there, its call into the Call field"},
};

} // namespace

QSize KeysWindow::FittingSize(const QTableWidget* table) const {
    // Wide and high enough for every key and text, as fonts and scale make
    // them, and never larger than the screen the operator has.
    int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < table->columnCount(); ++c)
        width += table->columnWidth(c);
    int height = 2 * table->frameWidth() + table->horizontalHeader()->sizeHint().height();
    for (int r = 0; r < table->rowCount(); ++r)
        height += table->rowHeight(r);
    const QMargins margins = layout()->contentsMargins();
    width += margins.left() + margins.right();
    height += margins.top() + margins.bottom() + layout()->spacing() +
              findChild<QDialogButtonBox*>()->sizeHint().height();
    QSize size(width, height);
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    return size;
}

KeysWindow::KeysWindow(const QList<QAction*>& actions, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KeysWindow"));
    setWindowTitle(QStringLiteral("Keys"));
    auto* table = new QTableWidget(0, 2, this);
    table->setObjectName(QStringLiteral("KeysTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Does")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto add = [table](const QString& key, const QString& what) {
        const int r = table->rowCount();
        table->insertRow(r);
        table->setItem(r, 0, new QTableWidgetItem(key));
        table->setItem(r, 1, new QTableWidgetItem(what));
    };
    for (const auto& k : kFieldKeys)
        add(QLatin1String(k[0]), QLatin1String(k[1]));
    for (const QAction* a : actions)
        if (!a->shortcut().isEmpty())
            add(a->shortcut().toString(QKeySequence::NativeText),
                a->text().remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(FittingSize(table));
}

} // namespace qarvel
