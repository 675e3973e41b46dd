#include "keyer/KeyerDialog.h"

#include <QAudioDevice>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qarvel {

KeyerDialog::KeyerDialog(const KeyerSettings& settings, const FunctionMessages& messages,
                         QWidget* parent)
    : QDialog(parent), base_(settings) {
    setObjectName(QStringLiteral("KeyerDialog"));
    setWindowTitle(QStringLiteral("Keyer and messages"));
    auto* form = new QFormLayout;
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("KeyerKind"));
    kind_->addItems({QStringLiteral("none"), QStringLiteral("cwdaemon / winkeydaemon"),
                     QStringLiteral("the rig's keyer (rigctld)")});
    kind_->setCurrentIndex(static_cast<int>(settings.kind));
    form->addRow(QStringLiteral("CW keyer"), kind_);
    cwdaemon_ = new QLineEdit(settings.cwdaemon, this);
    cwdaemon_->setObjectName(QStringLiteral("KeyerCwDaemon"));
    cwdaemon_->setPlaceholderText(QStringLiteral("localhost:6789"));
    form->addRow(QStringLiteral("cwdaemon (host:port)"), cwdaemon_);
    wpm_ = new QSpinBox(this);
    wpm_->setRange(KeyerSettings::kMinWpm, KeyerSettings::kMaxWpm);
    wpm_->setValue(settings.wpm);
    wpm_->setSuffix(QStringLiteral(" wpm"));
    form->addRow(QStringLiteral("Speed"), wpm_);
    zeros_ = new QCheckBox(QStringLiteral("Leading zeros (001)"), this);
    zeros_->setChecked(settings.serial.leadingZeros);
    cut_ = new QComboBox(this);
    cut_->addItems({QStringLiteral("no cut numbers"), QStringLiteral("T for 0, N for 9"),
                    QStringLiteral("T for 0, N for 9, A for 1")});
    cut_->setCurrentIndex(static_cast<int>(settings.serial.cut));
    auto* serial = new QHBoxLayout;
    serial->addWidget(zeros_);
    serial->addWidget(cut_);
    form->addRow(QStringLiteral("Serials keyed"), serial);
    esm_ = new QCheckBox(QStringLiteral("Enter sends the messages (ESM)"), this);
    esm_->setObjectName(QStringLiteral("KeyerEsm"));
    esm_->setChecked(settings.enterSends);
    form->addRow(QString(), esm_);
    voiceFolder_ = new QLineEdit(settings.voiceFolder, this);
    voiceFolder_->setPlaceholderText(QStringLiteral("folder of run-f1.wav ... sp-f12.wav; empty: none"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Voice keyer's folder"),
                                                              voiceFolder_->text());
        if (!dir.isEmpty())
            voiceFolder_->setText(dir);
    });
    auto* voice = new QHBoxLayout;
    voice->addWidget(voiceFolder_, 1);
    voice->addWidget(browse);
    form->addRow(QStringLiteral("Voice keyer"), voice);
    output_ = new QComboBox(this);
    output_->addItem(QStringLiteral("the system's default"), QString());
    for (const QAudioDevice& d : QMediaDevices::audioOutputs())
        output_->addItem(d.description(), d.description());
    if (const int at = output_->findData(settings.audioOutput); at >= 0)
        output_->setCurrentIndex(at);
    form->addRow(QStringLiteral("Voice output"), output_);

    auto* tabs = new QTabWidget(this);
    run_ = MessageTable(messages.run, "KeyerRunMessages");
    sp_ = MessageTable(messages.searchPounce, "KeyerSpMessages");
    tabs->addTab(run_, QStringLiteral("Run"));
    tabs->addTab(sp_, QStringLiteral("S&&P"));

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this, [this] {
        const FunctionMessages d = FunctionMessages::Defaults();
        for (auto [table, set] : {std::pair{run_, &d.run}, std::pair{sp_, &d.searchPounce}})
            for (int r = 0; r < FunctionMessages::kKeys; ++r) {
                table->item(r, 0)->setText((*set)[r].label);
                table->item(r, 1)->setText((*set)[r].text);
            }
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tabs, 1);
    auto* help = new QLabel(
        QStringLiteral("Macros: {MYCALL} {HISCALL} {NR} {RST} {EXCH} {LOGIT}"), this);
    layout->addWidget(help);
    layout->addWidget(buttons);
    resize(620, 640);
}

QTableWidget* KeyerDialog::MessageTable(
    const std::array<FunctionMessage, FunctionMessages::kKeys>& set, const char* name) {
    auto* t = new QTableWidget(FunctionMessages::kKeys, 2, this);
    t->setObjectName(QLatin1String(name));
    t->setHorizontalHeaderLabels({QStringLiteral("Label"), QStringLiteral("Text")});
    QStringList keys;
    for (int r = 0; r < FunctionMessages::kKeys; ++r) {
        keys << QStringLiteral("F%1").arg(r + 1);
        t->setItem(r, 0, new QTableWidgetItem(set[r].label));
        t->setItem(r, 1, new QTableWidgetItem(set[r].text));
    }
    t->setVerticalHeaderLabels(keys);
    t->horizontalHeader()->setStretchLastSection(true);
    t->setColumnWidth(0, 110);
    return t;
}

std::array<FunctionMessage, FunctionMessages::kKeys> KeyerDialog::Read(const QTableWidget* t) {
    std::array<FunctionMessage, FunctionMessages::kKeys> set;
    for (int r = 0; r < FunctionMessages::kKeys; ++r)
        set[r] = {t->item(r, 0)->text().trimmed(), t->item(r, 1)->text().trimmed()};
    return set;
}

KeyerSettings KeyerDialog::Settings() const {
    KeyerSettings k = base_;
    k.kind = static_cast<KeyerSettings::Kind>(kind_->currentIndex());
    k.cwdaemon = cwdaemon_->text().trimmed();
    k.wpm = wpm_->value();
    k.serial.leadingZeros = zeros_->isChecked();
    k.serial.cut = static_cast<SerialStyle::Cut>(cut_->currentIndex());
    k.enterSends = esm_->isChecked();
    k.voiceFolder = voiceFolder_->text().trimmed();
    k.audioOutput = output_->currentData().toString();
    return k;
}

FunctionMessages KeyerDialog::Messages() const {
    return {Read(run_), Read(sp_)};
}

} // namespace qarvel
