#include "reference/CallSignText.h"

#include <QRegularExpression>

namespace qarvel {

bool LooksLikeCallSign(const QString& call) {
    static const QRegularExpression shape(QStringLiteral("^[A-Z0-9]+(/[A-Z0-9]+)*$"));
    static const QRegularExpression letter(QStringLiteral("[A-Z]"));
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    return call.size() >= 3 && call.size() <= 20 && shape.match(call).hasMatch() &&
           letter.match(call).hasMatch() && digit.match(call).hasMatch();
}

} // namespace qarvel
