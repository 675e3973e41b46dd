#include "windows/LogCheckDialog.h"

#include "contest/LogCheck.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qarvel {

LogCheckDialog::LogCheckDialog(const std::vector<LogFinding>& findings, int qsos, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("LogCheckWindow"));
    setWindowTitle(QStringLiteral("Check before sending"));
    auto* layout = new QVBoxLayout(this);
    const int faults = LogCheck::Faults(findings);
    auto* summary = new QLabel(
        findings.empty()
            ? QStringLiteral("%1 QSOs checked: nothing found.").arg(qsos)
            : QStringLiteral("%1 QSOs checked: %2 faults a contest's robot would refuse or "
                             "take points off for, %3 for information (a dupe is worth 0 "
                             "points, no penalty). Nothing in the log was changed.")
                  .arg(qsos)
                  .arg(faults)
                  .arg(static_cast<int>(findings.size()) - faults),
        this);
    summary->setObjectName(QStringLiteral("LogCheckSummary"));
    summary->setWordWrap(true);
    layout->addWidget(summary);

    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("LogCheckFindings"));
    // A finding is a sentence: wrapped, it is read whole without scrolling.
    list->setWordWrap(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setResizeMode(QListView::Adjust);
    for (const LogFinding& f : findings) {
        auto* item = new QListWidgetItem(f.Line(), list);
        if (f.information)
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    list->setVisible(!findings.empty());
    layout->addWidget(list, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* write =
        buttons->addButton(QStringLiteral("Write the Cabrillo file"), QDialogButtonBox::AcceptRole);
    write->setObjectName(QStringLiteral("LogCheckGoOn"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("LogCheckCancel"));
    (faults > 0 ? cancel : write)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, findings.empty() ? 140 : 420);
}

} // namespace qarvel
