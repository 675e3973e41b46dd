#include "windows/SharedLogStatus.h"

#include "logbook/LiveLog.h"

namespace qarvel {

SharedLogStatus::SharedLogStatus(LiveLog& live, QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("SharedLogStatus"));
    connect(&live, &LiveLog::StateChanged, this, &SharedLogStatus::Show);
    Show(live.Online(), live.Waiting());
}

QString SharedLogStatus::Text(bool online, int waiting) {
    if (online && waiting == 0)
        return QStringLiteral("shared log online");
    QString text = online ? QStringLiteral("online") : QStringLiteral("offline");
    if (waiting > 0)
        text += QStringLiteral(", %1 QSOs waiting").arg(waiting);
    return text;
}

void SharedLogStatus::Show(bool online, int waiting) {
    setText(Text(online, waiting));
    QPalette p = palette();
    p.setColor(QPalette::WindowText,
               online ? parentWidget() ? parentWidget()->palette().color(QPalette::WindowText)
                                       : QColor(Qt::black)
                      : QColor(200, 0, 0));
    setPalette(p);
}

} // namespace qarvel
