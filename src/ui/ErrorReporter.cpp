#include "ErrorReporter.h"

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
