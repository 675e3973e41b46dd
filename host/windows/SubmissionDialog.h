#pragma once

#include "app/ScoreboardSettings.h"
#include "logbook/SubmissionDetails.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace qarvel {

// Log > Submission details: the categories, the operators and the
// contest period a Cabrillo file carries. A text a robot would refuse (a
// line break, a character outside ASCII) keeps the dialog open with the
// reason under the fields.
class SubmissionDialog : public QDialog {
    Q_OBJECT
public:
    // The scoreboard part: where the live score is posted, and the login.
    SubmissionDialog(const SubmissionDetails& details, const ScoreboardSettings& scoreboard,
                     QWidget* parent = nullptr);
    SubmissionDetails Details() const { return details_; }
    ScoreboardSettings Scoreboard() const;
    // The password was typed over: only then is it stored again.
    bool PasswordChanged() const;

    void accept() override;

private:
    QComboBox* Combo(const char* name, const QStringList& values, const QString& current);
    QLineEdit* Line(const char* name, const QString& text);

    SubmissionDetails details_;
    QComboBox *operator_, *assisted_, *band_, *power_, *station_, *transmitter_;
    QLineEdit *operators_, *name_, *email_, *club_, *location_, *start_, *end_;
    QLineEdit *minimumBreak_, *maximumOperating_;
    QLineEdit *scoreboardUrl_, *scoreboardUser_, *scoreboardPassword_;
    QCheckBox* scoreboardPlainHttp_;
    QPlainTextEdit *address_, *soapbox_;
    QLabel* problem_ = nullptr;
};

} // namespace qarvel
