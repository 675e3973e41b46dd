#include "ErrorReporter.h"

#include "BusyScope.h"

#include <QApplication>
#include <QMessageBox>

namespace zelmar {

namespace {

TErrorReporter& Reporter() {
    static TErrorReporter reporter;
    return reporter;
}

} // namespace

void ReportError(const QString& text) {
    // The box's event loop runs the host's timers and messages: whatever
    // they release waits until the box and its callers are done.
    const TBusyScope busy;
    if (Reporter()) {
        Reporter()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok);
    box.setObjectName(QStringLiteral("ErrorMessageBox"));
    box.exec();
}

void SetErrorReporter(TErrorReporter reporter) { Reporter() = std::move(reporter); }

} // namespace zelmar
