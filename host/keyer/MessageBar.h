#pragma once

#include "keyer/FunctionMessages.h"

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

namespace qarvel {

// The bar of buttons under the entry line: F1 to F12 with the labels of
// the set in use. A click sends like the key; the buttons never take the
// keyboard from the call.
class MessageBar : public QWidget {
    Q_OBJECT
public:
    explicit MessageBar(QWidget* parent = nullptr);

    void Show(const std::array<FunctionMessage, FunctionMessages::kKeys>& set,
              const QString& setName);

signals:
    void Clicked(int key); // 1..12

private:
    QLabel* set_ = nullptr;
    std::array<QPushButton*, FunctionMessages::kKeys> buttons_{};
};

} // namespace qarvel
