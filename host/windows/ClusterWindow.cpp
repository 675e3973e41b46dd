#include "windows/ClusterWindow.h"

#include "cluster/ClusterClient.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace qarvel {

ClusterWindow::ClusterWindow(ClusterClient& cluster, QWidget* parent)
    : QWidget(parent, Qt::Window), cluster_(cluster) {
    setObjectName(QStringLiteral("ClusterWindow"));
    setWindowTitle(QStringLiteral("DX cluster"));
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("ClusterStatus"));
    lines_ = new QPlainTextEdit(this);
    lines_->setObjectName(QStringLiteral("ClusterLines"));
    lines_->setReadOnly(true);
    lines_->setMaximumBlockCount(kKeptLines);
    lines_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    command_ = new QLineEdit(this);
    command_->setObjectName(QStringLiteral("ClusterCommand"));
    command_->setPlaceholderText(QStringLiteral("command to the node, e.g. sh/dx 20; Enter sends"));
    layout->addWidget(status_);
    layout->addWidget(lines_, 1);
    layout->addWidget(command_);

    flush_.setSingleShot(true);
    flush_.setInterval(kFlushMs);
    connect(&flush_, &QTimer::timeout, this, &ClusterWindow::Flush);
    connect(&cluster_, &ClusterClient::LineReceived, this, &ClusterWindow::Queue);
    connect(&cluster_, &ClusterClient::StatusChanged, this,
            [this](const QString& text, bool failed) {
                status_->setText(text.isEmpty() ? QStringLiteral("No cluster node: Station > "
                                                                 "Settings or --cluster")
                                                : text);
                status_->setStyleSheet(failed ? QStringLiteral("color: #c00000") : QString());
            });
    status_->setText(cluster_.StatusText().isEmpty()
                         ? QStringLiteral("No cluster node: Station > Settings or --cluster")
                         : cluster_.StatusText());
    connect(command_, &QLineEdit::returnPressed, this, &ClusterWindow::SendTyped);
    resize(640, 360);
}

QString ClusterWindow::Text() const {
    return lines_->toPlainText() + (pending_.isEmpty() ? QString() : QStringLiteral("\n") +
                                                                         pending_.join(u'\n'));
}

void ClusterWindow::Queue(const QString& line) {
    pending_ << QString(line).remove(QChar(0x07));
    // Beyond what the window keeps, older lines would only be dropped again.
    if (pending_.size() > kKeptLines)
        pending_.remove(0, pending_.size() - kKeptLines);
    if (!flush_.isActive())
        flush_.start();
}

void ClusterWindow::Flush() {
    if (pending_.isEmpty())
        return;
    lines_->appendPlainText(pending_.join(u'\n'));
    pending_.clear();
}

void ClusterWindow::SendTyped() {
    const QString command = command_->text().trimmed();
    if (command.isEmpty())
        return;
    if (cluster_.Send(command)) {
        Queue(QStringLiteral("> ") + command);
        command_->clear();
    } else {
        Queue(QStringLiteral("(not sent: no link to a node) ") + command);
    }
}

} // namespace qarvel
