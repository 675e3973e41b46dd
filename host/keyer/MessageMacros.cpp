#include "keyer/MessageMacros.h"

#include "formats/ExchangeText.h"

#include <QRegularExpression>

namespace qarvel {

namespace {

bool Phone(const QString& mode) {
    return mode == QLatin1String("SSB") || mode == QLatin1String("FM") ||
           mode == QLatin1String("AM") || mode == QLatin1String("PH");
}

QString KeyedReport(const QString& mode) {
    return Phone(mode) ? QStringLiteral("59") : QStringLiteral("5NN");
}

// The exchange's words after the report: a serial keyed as set, anything
// else (a county) as it stands.
QString KeyedRest(const MacroContext& c) {
    const int serial = SerialIn(c.sent);
    if (serial > 0 && !Phone(c.mode))
        return c.style.Keyed(serial);
    if (serial > 0)
        return QString::number(serial); // spoken, a leading zero is noise
    return ExchangeText::Split(c.sent).rest;
}

} // namespace

ExpandedMessage ExpandMacros(const QString& text, const MacroContext& c) {
    static const QRegularExpression macro(QStringLiteral("\\{([A-Za-z]+)\\}"));
    ExpandedMessage out;
    qsizetype from = 0;
    for (auto it = macro.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.text += text.mid(from, m.capturedStart() - from);
        from = m.capturedEnd();
        const QString name = m.captured(1).toUpper();
        if (name == QLatin1String("MYCALL"))
            out.text += c.myCall;
        else if (name == QLatin1String("HISCALL"))
            out.text += c.hisCall;
        else if (name == QLatin1String("RST"))
            out.text += KeyedReport(c.mode);
        else if (name == QLatin1String("NR"))
            out.text += SerialIn(c.sent) > 0 ? KeyedRest(c) : QString();
        else if (name == QLatin1String("EXCH")) {
            const QString rest = KeyedRest(c);
            out.text += rest.isEmpty() ? KeyedReport(c.mode)
                                       : KeyedReport(c.mode) + QLatin1Char(' ') + rest;
        } else if (name == QLatin1String("LOGIT"))
            out.logIt = true;
        else {
            out.unknown << m.captured(0);
            out.text += m.captured(0);
        }
    }
    out.text += text.mid(from);
    out.text = out.text.simplified().toUpper();
    return out;
}

} // namespace qarvel
