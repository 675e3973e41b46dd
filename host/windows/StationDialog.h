#pragma once

#include "app/StationSettings.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace qarvel {

class CountryFile;
class QsoCheck;

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
    // The county table a YO station's own county is checked against; OK
    // is refused, naming the valid codes, while the county is not in it.
    void SetCountyCheck(const QsoCheck* counties);
    // Says under the fields that the open log is rescored with the station.
    void SetLogNote(const QString& note);

private:
    void CallEdited();
    void UpdateOk();

    const CountryFile* countries_;
    QLineEdit* call_ = nullptr;
    QLineEdit* prefix_ = nullptr;
    QComboBox* continent_ = nullptr;
    QLineEdit* logName_ = nullptr;
    QLineEdit* sentExchange_ = nullptr;
    QLineEdit* rig_ = nullptr;
    QLineEdit* position_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* note_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    const QsoCheck* counties_ = nullptr;
    class ClusterSettingsGroup* cluster_ = nullptr;
};

} // namespace qarvel
