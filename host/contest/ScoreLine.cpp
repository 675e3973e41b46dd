#include "contest/ScoreLine.h"

#include <QRegularExpression>

namespace qarvel {

std::optional<ScoreLine> ScoreLine::Parse(const QString& text) {
    static const QRegularExpression line(
        QStringLiteral("^Score: (-?\\d+)\\*\\((-?\\d+)\\+(-?\\d+)\\)=(-?\\d+)$"));
    const QRegularExpressionMatch m = line.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    return ScoreLine{m.captured(1).toLongLong(), m.captured(2).toLongLong(),
                     m.captured(3).toLongLong(), m.captured(4).toLongLong()};
}

} // namespace qarvel
