#pragma once

#include "app/StationSettings.h"

#include <QDialog>

class QLineEdit;
class QComboBox;

namespace qarvel {

class CountryFile;

// Asks for the own station: the call, from which the DXCC prefix and the
// continent are resolved as it is typed (the operator may still change
// them), the log name shown in the statistics window's caption, what is
// sent after the report, and where rigctld listens.
class StationDialog : public QDialog {
    Q_OBJECT
public:
    StationDialog(const StationSettings& station, const CountryFile* countries,
                  QWidget* parent = nullptr);
    StationSettings Station() const;

private:
    void CallEdited();

    const CountryFile* countries_;
    QLineEdit* call_ = nullptr;
    QLineEdit* prefix_ = nullptr;
    QComboBox* continent_ = nullptr;
    QLineEdit* logName_ = nullptr;
    QLineEdit* sentExchange_ = nullptr;
    QLineEdit* rig_ = nullptr;
    QLineEdit* position_ = nullptr;
    class ClusterSettingsGroup* cluster_ = nullptr;
};

} // namespace qarvel
