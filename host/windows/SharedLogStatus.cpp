#include "windows/SharedLogStatus.h"

#include "logbook/SharedLog.h"

namespace qarvel {

SharedLogStatus::SharedLogStatus(SharedLog& shared, QWidget* parent)
    : QLabel(parent), shared_(shared) {
    setObjectName(QStringLiteral("SharedLogStatus"));
    connect(&shared_, &SharedLog::StateChanged, this, &SharedLogStatus::Show);
    connect(&shared_, &SharedLog::RefusedChanged, this, &SharedLogStatus::Show);
    Show();
}

QString SharedLogStatus::Text(bool online, int waiting, int refused) {
    QString text;
    if (online && waiting == 0)
        text = QStringLiteral("shared log online");
    else
        text = online ? QStringLiteral("online") : QStringLiteral("offline");
    if (waiting > 0)
        text += QStringLiteral(", %1 QSOs waiting").arg(waiting);
    if (refused > 0)
        text += QStringLiteral(", %1 refused by the server").arg(refused);
    return text;
}

void SharedLogStatus::Show() {
    const int refused = static_cast<int>(shared_.Refused().size());
    setText(Text(shared_.Online(), shared_.Waiting(), refused));
    setToolTip(refused > 0 ? QStringLiteral("Kept in this position's copy, not on the server:\n") +
                                 shared_.Refused().join(QLatin1Char('\n'))
                           : QString());
    QPalette p = palette();
    p.setColor(QPalette::WindowText,
               shared_.Online() && refused == 0
                   ? parentWidget() ? parentWidget()->palette().color(QPalette::WindowText)
                                    : QColor(Qt::black)
                   : QColor(200, 0, 0));
    setPalette(p);
}

} // namespace qarvel
