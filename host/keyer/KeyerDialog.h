#pragma once

#include "keyer/FunctionMessages.h"
#include "keyer/KeyerSettings.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace qarvel {

// Send > Keyer and messages: which keyer, its speed, how serials are keyed,
// Enter Sends Message, the voice keyer's folder and output, and the two
// sets of twelve messages with their labels.
class KeyerDialog : public QDialog {
    Q_OBJECT
public:
    KeyerDialog(const KeyerSettings& settings, const FunctionMessages& messages,
                QWidget* parent = nullptr);

    KeyerSettings Settings() const;
    FunctionMessages Messages() const;

private:
    QTableWidget* MessageTable(const std::array<FunctionMessage, FunctionMessages::kKeys>& set,
                               const char* name);
    static std::array<FunctionMessage, FunctionMessages::kKeys> Read(const QTableWidget* table);

    KeyerSettings base_;
    QComboBox* kind_ = nullptr;
    QLineEdit* cwdaemon_ = nullptr;
    QSpinBox* wpm_ = nullptr;
    QCheckBox* zeros_ = nullptr;
    QComboBox* cut_ = nullptr;
    QCheckBox* esm_ = nullptr;
    QLineEdit* voiceFolder_ = nullptr;
    QComboBox* output_ = nullptr;
    QTableWidget* run_ = nullptr;
    QTableWidget* sp_ = nullptr;
};

} // namespace qarvel
