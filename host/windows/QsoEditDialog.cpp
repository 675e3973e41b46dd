#include "windows/QsoEditDialog.h"

#include "reference/BandPlan.h"
#include "reference/CountryFile.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace qarvel {

QsoEditDialog::QsoEditDialog(const QsoRow& row, const CountryFile* countries, QWidget* parent)
    : QDialog(parent), original_(row), countries_(countries) {
    setObjectName(QStringLiteral("QsoEditDialog"));
    setWindowTitle(QStringLiteral("Correct the QSO with %1").arg(row.call));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto field = [this](const char* name, const QString& text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    call_ = field("EditCall", row.call);
    band_ = new QComboBox(this);
    band_->setObjectName(QStringLiteral("EditBand"));
    for (const QString& band : ContestBandTexts())
        band_->addItem(MetresOfBand(band), band);
    // A QSO an import brought from another band keeps it unless changed.
    if (band_->findData(row.band) < 0)
        band_->addItem(MetresOfBand(row.band).isEmpty() ? row.band : MetresOfBand(row.band),
                       row.band);
    band_->setCurrentIndex(band_->findData(row.band));
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("EditMode"));
    mode_->setEditable(true);
    mode_->addItems({QStringLiteral("CW"), QStringLiteral("SSB")});
    mode_->setCurrentText(row.mode);
    received_ = field("EditReceived", row.received);
    sent_ = field("EditSent", row.sent);
    form->addRow(QStringLiteral("&Call"), call_);
    form->addRow(QStringLiteral("&Band"), band_);
    form->addRow(QStringLiteral("&Mode"), mode_);
    form->addRow(QStringLiteral("&Received"), received_);
    form->addRow(QStringLiteral("S&ent"), sent_);
    layout->addLayout(form);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("EditMessage"));
    message_->hide();
    layout->addWidget(message_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QsoEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QsoEditDialog::reject);
    layout->addWidget(buttons);
    call_->setFocus();
    call_->selectAll();
}

QsoRow QsoEditDialog::Edited() const {
    QsoRow r = original_;
    r.call = call_->text().trimmed().toUpper();
    r.band = band_->currentData().toString();
    if (r.band != original_.band)
        r.frequency.clear();
    r.mode = mode_->currentText().trimmed().toUpper();
    r.received = received_->text().simplified().toUpper();
    r.sent = sent_->text().simplified().toUpper();
    r.dxccPrefix.clear();
    r.continent.clear();
    r.mainPrefix.clear();
    if (countries_)
        if (const auto m = countries_->Resolve(r.call.toStdString())) {
            r.dxccPrefix = QString::fromStdString(m->primaryPrefix);
            r.continent = QString::fromStdString(m->continent);
            r.mainPrefix = QString::fromStdString(m->matchedPrefix);
        }
    return r;
}

void QsoEditDialog::accept() {
    if (call_->text().trimmed().isEmpty()) {
        message_->setText(QStringLiteral("A QSO needs a call"));
        message_->show();
        call_->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace qarvel
