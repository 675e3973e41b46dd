#pragma once

#include "logbook/QsoRow.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace qarvel {

class CountryFile;

// Corrects one logged QSO: call, band, mode and both exchanges. The
// country is resolved again from the corrected call; date and time stay,
// and the frequency goes when the band changes.
class QsoEditDialog : public QDialog {
    Q_OBJECT
public:
    QsoEditDialog(const QsoRow& row, const CountryFile* countries, QWidget* parent = nullptr);

    QsoRow Edited() const;
    void accept() override;

private:
    QsoRow original_;
    const CountryFile* countries_;
    QLineEdit* call_ = nullptr;
    QComboBox* band_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLineEdit* received_ = nullptr;
    QLineEdit* sent_ = nullptr;
    QLabel* message_ = nullptr;
};

} // namespace qarvel
