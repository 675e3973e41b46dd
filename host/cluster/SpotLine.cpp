#include "cluster/SpotLine.h"

#include "reference/CallSignText.h"

#include <QRegularExpression>

namespace qarvel {

std::optional<SpotLine> SpotLine::Parse(const QString& line) {
    static const QRegularExpression kSpot(
        QStringLiteral(R"(^DX de\s+([^\s:]+):?\s+(\d{1,8}(?:\.\d{1,3})?)\s+(\S+)\s*(.*?)\s*)"
                       R"((\d{4})Z(?:\s+[A-Ra-r]{2}\d{2}(?:[A-Xa-x]{2})?)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = line;
    text.remove(QChar(0x07));
    text = text.trimmed();
    const QRegularExpressionMatch m = kSpot.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    SpotLine s;
    s.spotter = m.captured(1).toUpper();
    bool ok = false;
    s.kilohertz = m.captured(2).toDouble(&ok);
    s.call = m.captured(3).toUpper();
    s.comment = m.captured(4);
    s.time = m.captured(5);
    const int hours = s.time.left(2).toInt(), minutes = s.time.mid(2).toInt();
    // 1.8 MHz up to the microwave bands; a spotter's typo beyond is no spot.
    if (!ok || s.kilohertz < 1000 || s.kilohertz > 300'000'000 || hours > 23 || minutes > 59 ||
        !LooksLikeCallSign(s.call))
        return std::nullopt;
    return s;
}

} // namespace qarvel
