#include "keyer/SerialText.h"

#include "formats/ExchangeText.h"

namespace qarvel {

QString SerialStyle::Keyed(int number) const {
    QString digits = leadingZeros ? StoredSerial(number) : QString::number(number);
    if (cut == Cut::None)
        return digits;
    for (QChar& c : digits) {
        if (c == QLatin1Char('0'))
            c = QLatin1Char('T');
        else if (c == QLatin1Char('9'))
            c = QLatin1Char('N');
        else if (c == QLatin1Char('1') && cut == Cut::ZeroNineOne)
            c = QLatin1Char('A');
    }
    return digits;
}

QString StoredSerial(int number) {
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

int SerialIn(const QString& sentExchange) {
    const QString rest = ExchangeText::Split(sentExchange).rest;
    bool ok = false;
    const int n = rest.toInt(&ok);
    // Only plain digits: "5NN 1A" or a county code is no serial.
    for (QChar c : rest)
        if (!c.isDigit())
            return 0;
    return ok && n > 0 ? n : 0;
}

} // namespace qarvel
