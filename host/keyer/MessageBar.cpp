#include "keyer/MessageBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace qarvel {

MessageBar::MessageBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MessageBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 0, 6, 6);
    row->setSpacing(3);
    set_ = new QLabel(this);
    set_->setObjectName(QStringLiteral("MessageSet"));
    set_->setMinimumWidth(set_->fontMetrics().horizontalAdvance(QStringLiteral("S&P ")));
    QFont bold = set_->font();
    bold.setBold(true);
    set_->setFont(bold);
    row->addWidget(set_);
    for (int i = 0; i < FunctionMessages::kKeys; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("MessageF%1").arg(i + 1));
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(40);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(b, &QPushButton::clicked, this, [this, i] { emit Clicked(i + 1); });
        buttons_[i] = b;
        row->addWidget(b, 1);
        // The peers group the keys by four, as on the keyboard.
        if (i == 3 || i == 7)
            row->addSpacing(8);
    }
}

void MessageBar::Show(const std::array<FunctionMessage, FunctionMessages::kKeys>& set,
                      const QString& setName) {
    set_->setText(setName);
    for (int i = 0; i < FunctionMessages::kKeys; ++i) {
        const QString label = set[i].label.isEmpty() ? QString() : set[i].label;
        const QString text = QStringLiteral("F%1 %2").arg(i + 1).arg(label).trimmed();
        buttons_[i]->setText(text);
        // A label is read at a glance: never cut, however narrow the window.
        buttons_[i]->setMinimumWidth(
            std::max(40, buttons_[i]->fontMetrics().horizontalAdvance(text) + 16));
        buttons_[i]->setToolTip(set[i].text);
        buttons_[i]->setEnabled(!set[i].text.trimmed().isEmpty());
    }
}

} // namespace qarvel
