#include "formats/AdifWriter.h"

#include "keyer/SerialText.h"

#include "reference/BandPlan.h"
#include "formats/ExchangeText.h"

namespace qarvel {

namespace {

void Field(QByteArray& out, const char* name, const QString& value) {
    const QByteArray data = value.toUtf8();
    if (data.isEmpty())
        return;
    out += '<';
    out += name;
    out += ':';
    out += QByteArray::number(data.size());
    out += '>';
    out += data;
    out += ' ';
}

QString Compact(QString text, const QString& separator) {
    return text.remove(separator);
}

} // namespace

QByteArray WriteAdif(const std::vector<QsoRow>& rows, const QString& programVersion) {
    QByteArray out = "Exported by qarvel\n";
    Field(out, "ADIF_VER", QStringLiteral("3.1.4"));
    Field(out, "PROGRAMID", QStringLiteral("qarvel"));
    Field(out, "PROGRAMVERSION", programVersion);
    out += "<EOH>\n";
    for (const QsoRow& r : rows) {
        const ExchangeText sent = ExchangeText::Split(r.sent);
        const ExchangeText received = ExchangeText::Split(r.received);
        Field(out, "CALL", r.call);
        Field(out, "QSO_DATE", Compact(r.date, QStringLiteral("-")));
        Field(out, "TIME_ON", Compact(r.time, QStringLiteral(":")));
        Field(out, "BAND", AdifNameOfBand(r.band));
        Field(out, "FREQ", r.frequency);
        Field(out, "MODE", r.mode);
        Field(out, "RST_SENT", sent.report);
        Field(out, "STX_STRING", sent.rest);
        // Serial-number contests read the plain number from STX.
        if (const int serial = SerialIn(r.sent); serial > 0)
            Field(out, "STX", QString::number(serial));
        Field(out, "RST_RCVD", received.report);
        Field(out, "SRX_STRING", received.rest);
        Field(out, "CONT", r.continent);
        out += "<EOR>\n";
    }
    return out;
}

} // namespace qarvel
