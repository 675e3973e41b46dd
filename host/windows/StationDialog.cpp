#include "windows/StationDialog.h"

#include "contest/SentExchangeRule.h"
#include "reference/CountryFile.h"
#include "rig/RigAddress.h"
#include "windows/ClusterSettingsGroup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qarvel {

StationDialog::StationDialog(const StationSettings& station, const CountryFile* countries,
                             QWidget* parent)
    : QDialog(parent), countries_(countries) {
    setObjectName(QStringLiteral("StationDialog"));
    setWindowTitle(QStringLiteral("Station"));
    auto* form = new QFormLayout(this);

    call_ = new QLineEdit(station.call, this);
    call_->setObjectName(QStringLiteral("StationCall"));
    prefix_ = new QLineEdit(station.dxccPrefix, this);
    prefix_->setObjectName(QStringLiteral("StationPrefix"));
    continent_ = new QComboBox(this);
    continent_->setObjectName(QStringLiteral("StationContinent"));
    continent_->addItems({QStringLiteral("AF"), QStringLiteral("AN"), QStringLiteral("AS"),
                          QStringLiteral("EU"), QStringLiteral("NA"), QStringLiteral("OC"),
                          QStringLiteral("SA")});
    continent_->setCurrentText(station.continent);
    logName_ = new QLineEdit(station.logName, this);
    logName_->setObjectName(QStringLiteral("StationLogName"));
    sentExchange_ = new QLineEdit(station.sentExchange, this);
    sentExchange_->setObjectName(QStringLiteral("StationSentExchange"));
    sentExchange_->setPlaceholderText(QStringLiteral("e.g. your county"));
    rig_ = new QLineEdit(station.rig, this);
    rig_->setObjectName(QStringLiteral("StationRig"));
    rig_->setPlaceholderText(QStringLiteral("host:port of rigctld; empty: no rig"));

    position_ = new QLineEdit(station.position, this);
    position_->setObjectName(QStringLiteral("StationPosition"));
    position_->setPlaceholderText(QStringLiteral("short name of this position, e.g. RUN1"));

    form->addRow(QStringLiteral("Own call:"), call_);
    form->addRow(QStringLiteral("DXCC prefix:"), prefix_);
    form->addRow(QStringLiteral("Continent:"), continent_);
    form->addRow(QStringLiteral("Log name:"), logName_);
    form->addRow(QStringLiteral("Sent after the report:"), sentExchange_);
    form->addRow(QStringLiteral("Rig (rigctld):"), rig_);
    form->addRow(QStringLiteral("Position:"), position_);
    cluster_ = new ClusterSettingsGroup(station.clusterNode, this);
    form->addRow(cluster_);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("StationProblem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c80000"));
    problem_->hide();
    form->addRow(problem_);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("StationLogNote"));
    note_->setWordWrap(true);
    note_->hide();
    form->addRow(note_);
    // Wide enough for the county codes on two lines.
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 40);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(call_, &QLineEdit::textEdited, this, &StationDialog::CallEdited);
    for (QLineEdit* field : {call_, rig_, prefix_, sentExchange_})
        connect(field, &QLineEdit::textChanged, this, &StationDialog::UpdateOk);
    connect(cluster_, &ClusterSettingsGroup::Changed, this, &StationDialog::UpdateOk);
    UpdateOk();
}

void StationDialog::SetCountyCheck(const QsoCheck* counties) {
    counties_ = counties;
    UpdateOk();
}

void StationDialog::SetLogNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

void StationDialog::UpdateOk() {
    const QString rig = rig_->text().trimmed();
    const QString problem = counties_ ? SentExchangeRule(*counties_).StationProblem(Station())
                                      : QString();
    const bool shown = problem_->isVisibleTo(this);
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    // A refusal that appears or goes takes its room: every code stays readable.
    if (shown != problem_->isVisibleTo(this) && isVisible())
        resize(width(), heightForWidth(width()) > 0 ? heightForWidth(width())
                                                    : sizeHint().height());
    buttons_->button(QDialogButtonBox::Ok)
        ->setEnabled(!call_->text().trimmed().isEmpty() &&
                     (rig.isEmpty() || RigAddress::Parse(rig)) && cluster_->IsValid() &&
                     problem.isEmpty());
}

void StationDialog::CallEdited() {
    const int cursor = call_->cursorPosition();
    call_->setText(call_->text().toUpper());
    call_->setCursorPosition(cursor);
    if (!countries_)
        return;
    StationSettings s = Station();
    s.ResolveFromCall(*countries_);
    prefix_->setText(s.dxccPrefix);
    continent_->setCurrentText(s.continent);
}

StationSettings StationDialog::Station() const {
    StationSettings s;
    s.call = call_->text().trimmed().toUpper();
    s.dxccPrefix = prefix_->text().trimmed().toUpper();
    s.continent = continent_->currentText();
    s.logName = logName_->text().trimmed();
    s.sentExchange = sentExchange_->text().trimmed().toUpper();
    s.rig = rig_->text().trimmed();
    s.position = position_->text().trimmed().toUpper();
    s.clusterNode = cluster_->Node();
    return s;
}

} // namespace qarvel
