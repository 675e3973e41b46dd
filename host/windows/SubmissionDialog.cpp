#include "windows/SubmissionDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qarvel {

QComboBox* SubmissionDialog::Combo(const char* name, const QStringList& values,
                                   const QString& current) {
    auto* box = new QComboBox(this);
    box->setObjectName(QLatin1String(name));
    box->addItems(values);
    box->setItemText(0, QStringLiteral("(not given)"));
    box->setCurrentIndex(std::max<qsizetype>(0, values.indexOf(current)));
    return box;
}

QLineEdit* SubmissionDialog::Line(const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

ScoreboardSettings SubmissionDialog::Scoreboard() const {
    return {scoreboardUrl_->text().trimmed(), scoreboardUser_->text().trimmed(),
            scoreboardPassword_->text(), scoreboardPlainHttp_->isChecked()};
}

bool SubmissionDialog::PasswordChanged() const {
    return scoreboardPassword_->isModified();
}

SubmissionDialog::SubmissionDialog(const SubmissionDetails& details,
                                   const ScoreboardSettings& scoreboard, QWidget* parent)
    : QDialog(parent), details_(details) {
    setObjectName(QStringLiteral("SubmissionDialog"));
    setWindowTitle(QStringLiteral("Submission details"));
    auto* form = new QFormLayout(this);
    operator_ = Combo("SubmissionOperator", SubmissionDetails::OperatorValues(),
                      details.categoryOperator);
    assisted_ = Combo("SubmissionAssisted", SubmissionDetails::AssistedValues(),
                      details.categoryAssisted);
    band_ = Combo("SubmissionBand", SubmissionDetails::BandValues(), details.categoryBand);
    band_->setItemText(0, QStringLiteral("(from the log)"));
    power_ = Combo("SubmissionPower", SubmissionDetails::PowerValues(), details.categoryPower);
    station_ =
        Combo("SubmissionStation", SubmissionDetails::StationValues(), details.categoryStation);
    transmitter_ = Combo("SubmissionTransmitter", SubmissionDetails::TransmitterValues(),
                         details.categoryTransmitter);
    operators_ = Line("SubmissionOperators", details.operators);
    operators_->setPlaceholderText(QStringLiteral("calls separated by blanks; @CALL: the host"));
    name_ = Line("SubmissionName", details.name);
    address_ = new QPlainTextEdit(details.address.join(QLatin1Char('\n')), this);
    address_->setObjectName(QStringLiteral("SubmissionAddress"));
    address_->setPlaceholderText(QStringLiteral("up to six lines"));
    address_->setFixedHeight(address_->fontMetrics().lineSpacing() * 4 + 12);
    email_ = Line("SubmissionEmail", details.email);
    club_ = Line("SubmissionClub", details.club);
    location_ = Line("SubmissionLocation", details.location);
    soapbox_ = new QPlainTextEdit(details.soapbox.join(QLatin1Char('\n')), this);
    soapbox_->setObjectName(QStringLiteral("SubmissionSoapbox"));
    soapbox_->setFixedHeight(address_->height());
    start_ = Line("SubmissionPeriodStart", SubmissionDetails::FormatTime(details.periodStart));
    end_ = Line("SubmissionPeriodEnd", SubmissionDetails::FormatTime(details.periodEnd));
    start_->setPlaceholderText(QStringLiteral("yyyy-mm-dd hh:mm UTC"));
    end_->setPlaceholderText(QStringLiteral("yyyy-mm-dd hh:mm UTC"));

    const auto hoursAndMinutes = [](int m) {
        return m > 0 ? QStringLiteral("%1:%2").arg(m / 60).arg(m % 60, 2, 10, QLatin1Char('0'))
                     : QString();
    };
    minimumBreak_ = Line("SubmissionMinimumBreak", details.minimumBreakMinutes > 0
                                                       ? QString::number(details.minimumBreakMinutes)
                                                       : QString());
    minimumBreak_->setPlaceholderText(QStringLiteral("minutes; 30 when empty"));
    maximumOperating_ =
        Line("SubmissionMaximumOperating", hoursAndMinutes(details.maximumOperatingMinutes));
    maximumOperating_->setPlaceholderText(QStringLiteral("h:mm; no maximum when empty"));

    form->addRow(QStringLiteral("Operator category:"), operator_);
    form->addRow(QStringLiteral("Assisted:"), assisted_);
    form->addRow(QStringLiteral("Band category:"), band_);
    form->addRow(QStringLiteral("Power:"), power_);
    form->addRow(QStringLiteral("Station:"), station_);
    form->addRow(QStringLiteral("Transmitter:"), transmitter_);
    form->addRow(QStringLiteral("Operators:"), operators_);
    form->addRow(QStringLiteral("Name:"), name_);
    form->addRow(QStringLiteral("Address:"), address_);
    form->addRow(QStringLiteral("E-mail:"), email_);
    form->addRow(QStringLiteral("Club:"), club_);
    form->addRow(QStringLiteral("Location:"), location_);
    form->addRow(QStringLiteral("Soapbox:"), soapbox_);
    form->addRow(QStringLiteral("Contest starts (UTC):"), start_);
    form->addRow(QStringLiteral("Contest ends (UTC):"), end_);
    form->addRow(QStringLiteral("Shortest break counted:"), minimumBreak_);
    form->addRow(QStringLiteral("Longest time on allowed:"), maximumOperating_);

    scoreboardUrl_ = Line("ScoreboardUrl", scoreboard.url);
    scoreboardUrl_->setPlaceholderText(QStringLiteral("empty: the score is not posted"));
    scoreboardUser_ = Line("ScoreboardUser", scoreboard.user);
    scoreboardPassword_ = Line("ScoreboardPassword", scoreboard.password);
    scoreboardPassword_->setEchoMode(QLineEdit::Password);
    scoreboardPlainHttp_ = new QCheckBox(QStringLiteral("allow plain http"), this);
    scoreboardPlainHttp_->setObjectName(QStringLiteral("ScoreboardPlainHttp"));
    scoreboardPlainHttp_->setChecked(scoreboard.allowPlainHttp);
    scoreboardPlainHttp_->setToolTip(
        QStringLiteral("Sends the login unencrypted to an http: address"));
    auto* address = new QHBoxLayout;
    address->addWidget(scoreboardUrl_, 1);
    address->addWidget(scoreboardPlainHttp_);
    form->addRow(QStringLiteral("Scoreboard address:"), address);
    form->addRow(QStringLiteral("Scoreboard user:"), scoreboardUser_);
    form->addRow(QStringLiteral("Scoreboard password:"), scoreboardPassword_);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("SubmissionProblem"));
    problem_->setWordWrap(true);
    QPalette red = problem_->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    problem_->setPalette(red);
    problem_->hide();
    form->addRow(problem_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SubmissionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void SubmissionDialog::accept() {
    SubmissionDetails d;
    QString error;
    const std::pair<const char*, QString> singles[] = {
        {"CATEGORY-OPERATOR", operator_->currentIndex() ? operator_->currentText() : QString()},
        {"CATEGORY-ASSISTED", assisted_->currentIndex() ? assisted_->currentText() : QString()},
        {"CATEGORY-BAND", band_->currentIndex() ? band_->currentText() : QString()},
        {"CATEGORY-POWER", power_->currentIndex() ? power_->currentText() : QString()},
        {"CATEGORY-STATION", station_->currentIndex() ? station_->currentText() : QString()},
        {"CATEGORY-TRANSMITTER",
         transmitter_->currentIndex() ? transmitter_->currentText() : QString()},
        {"OPERATORS", operators_->text()},
        {"NAME", name_->text()},
        {"EMAIL", email_->text()},
        {"CLUB", club_->text()},
        {"LOCATION", location_->text()},
        {"PERIOD-START", start_->text()},
        {"PERIOD-END", end_->text()},
        {"MINIMUM-BREAK", minimumBreak_->text()},
        {"MAXIMUM-OPERATING-TIME", maximumOperating_->text()},
    };
    bool ok = true;
    for (const auto& [tag, value] : singles)
        if (ok && !value.trimmed().isEmpty())
            ok = d.Set(QLatin1String(tag), value, &error);
    for (const auto& [tag, edit] : {std::pair{"ADDRESS", address_}, std::pair{"SOAPBOX", soapbox_}})
        for (const QString& line : edit->toPlainText().split(QLatin1Char('\n')))
            if (ok && !line.trimmed().isEmpty())
                ok = d.Set(QLatin1String(tag), line, &error);
    if (ok && d.periodStart.isValid() && d.periodEnd.isValid() && d.periodEnd <= d.periodStart) {
        error = QStringLiteral("the contest must end after it starts");
        ok = false;
    }
    if (!ok) {
        problem_->setText(QStringLiteral("Not kept: %1.").arg(error));
        problem_->show();
        return;
    }
    details_ = d;
    QDialog::accept();
}

} // namespace qarvel
