#include "formats/CabrilloReader.h"

#include "reference/BandPlan.h"
#include "reference/CallSignText.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>
#include <cmath>
#include <optional>

namespace qarvel {

namespace {

// The header tags qarvel keeps, each as SubmissionDetails::Set knows it.
// The contest period is no Cabrillo tag: qarvel writes it as X- tags,
// which robots pass over, and takes it without the X- as well.
QString KeptTag(const QString& tag) {
    static const QStringList kept = {
        QStringLiteral("CATEGORY-OPERATOR"), QStringLiteral("CATEGORY-ASSISTED"),
        QStringLiteral("CATEGORY-BAND"),     QStringLiteral("CATEGORY-POWER"),
        QStringLiteral("CATEGORY-STATION"),  QStringLiteral("CATEGORY-TRANSMITTER"),
        QStringLiteral("OPERATORS"),         QStringLiteral("NAME"),
        QStringLiteral("ADDRESS"),           QStringLiteral("EMAIL"),
        QStringLiteral("CLUB"),              QStringLiteral("LOCATION"),
        QStringLiteral("SOAPBOX"),           QStringLiteral("PERIOD-START"),
        QStringLiteral("PERIOD-END")};
    const QString bare = tag.startsWith(QLatin1String("X-")) ? tag.mid(2) : tag;
    if (!kept.contains(bare))
        return {};
    // Only the period may come with X-: an X-NAME is somebody else's.
    if (bare != tag && !bare.startsWith(QLatin1String("PERIOD-")))
        return {};
    return bare;
}

// MHz as the log keeps it, at least to the kHz: 14025 gives "14.025",
// 14025.5 gives "14.0255".
QString MegahertzOfKilohertz(double kilohertz) {
    QString text = QString::number(kilohertz / 1000.0, 'f', 6);
    while (text.endsWith(QLatin1Char('0')) && text.indexOf(QLatin1Char('.')) < text.size() - 4)
        text.chop(1);
    return text;
}

QString LogMode(const QString& cabrilloMode) {
    const QString m = cabrilloMode.toUpper();
    if (m == QLatin1String("CW"))
        return QStringLiteral("CW");
    if (m == QLatin1String("PH"))
        return QStringLiteral("SSB");
    if (m == QLatin1String("FM"))
        return QStringLiteral("FM");
    if (m == QLatin1String("RY"))
        return QStringLiteral("RTTY");
    if (m == QLatin1String("DG"))
        return QStringLiteral("DIGI");
    return {};
}

bool IsReport(const QString& word) {
    // As ExchangeText reads the report of an exchange.
    static const QRegularExpression report(QStringLiteral("^[1-5][1-9N][1-9N]?[A-Z]?$"));
    return report.match(word).hasMatch();
}

// Where the call received stands among the words after the call sent: the
// sent exchange and the received one have as many words in a well-made
// line, so the middle is tried first; else the first word that is a call
// and no report (a county code or a serial number never is).
qsizetype ReceivedCallAt(const QStringList& words) {
    const qsizetype middle = (words.size() - 1) / 2;
    const auto isCall = [&](qsizetype i) {
        return LooksLikeCallSign(words[i]) && !IsReport(words[i]);
    };
    if (middle >= 1 && middle < words.size() && isCall(middle))
        return middle;
    for (qsizetype i = 1; i < words.size(); ++i)
        if (isCall(i))
            return i;
    return -1;
}

struct QsoLineReader {
    bool multiTransmitter = false;

    std::optional<CabrilloQso> Read(const QString& value, int line, QString* why) const {
        const auto fail = [why](const QString& reason) -> std::optional<CabrilloQso> {
            *why = reason;
            return std::nullopt;
        };
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        const QStringList w = value.toUpper().split(blanks, Qt::SkipEmptyParts);
        if (w.size() < 6)
            return fail(QStringLiteral("a QSO line needs frequency, mode, date, time and both "
                                       "calls, not \"%1\"")
                            .arg(value.simplified()));
        CabrilloQso qso;
        qso.line = line;
        QsoRow& row = qso.row;

        bool ok = false;
        const double kilohertz = w[0].toDouble(&ok);
        if (!ok || !std::isfinite(kilohertz) || kilohertz <= 0)
            return fail(QStringLiteral("frequency %1 is not a number of kHz").arg(w[0]));
        row.band = BandFromMegahertz(kilohertz / 1000.0);
        if (row.band.isEmpty())
            return fail(
                QStringLiteral("frequency %1 kHz is outside the HF bands 160 m to 10 m").arg(w[0]));
        // A logger that knew only the band writes its lower edge, as qarvel
        // does: that is no frequency the QSO was made on.
        if (std::lround(kilohertz) != LowerEdgeKilohertz(row.band) ||
            kilohertz != std::floor(kilohertz))
            row.frequency = MegahertzOfKilohertz(kilohertz);

        row.mode = LogMode(w[1]);
        if (row.mode.isEmpty())
            return fail(QStringLiteral("mode %1 is not CW, PH, FM, RY or DG").arg(w[1]));

        const QDate date = QDate::fromString(w[2], Qt::ISODate);
        if (!date.isValid() || w[2].size() != 10)
            return fail(QStringLiteral("date %1 is not a date (yyyy-mm-dd)").arg(w[2]));
        row.date = date.toString(QStringLiteral("yyyy-MM-dd"));
        bool hoursOk = false;
        bool minutesOk = false;
        const QTime time(QStringView(w[3]).left(2).toInt(&hoursOk),
                         QStringView(w[3]).mid(2).toInt(&minutesOk));
        if (!hoursOk || !minutesOk || !time.isValid() || w[3].size() != 4 ||
            !w[3].front().isDigit() || !w[3][2].isDigit())
            return fail(QStringLiteral("time %1 is not a time (hhmm)").arg(w[3]));
        row.time = time.toString(QStringLiteral("HH:mm:ss"));

        qso.sentCall = w[4];
        if (!LooksLikeCallSign(qso.sentCall))
            return fail(QStringLiteral("%1 is not a call sign").arg(qso.sentCall));

        QStringList rest = w.mid(5);
        const qsizetype at = ReceivedCallAt(rest);
        if (at < 0)
            return fail(QStringLiteral("no call received after the exchange sent"));
        const QStringList sent = rest.mid(0, at);
        QStringList received = rest.mid(at + 1);
        // The transmitter column, 0 or 1, closes the line of a multi-
        // transmitter entry.
        static const QRegularExpression digit(QStringLiteral("^[0-9]$"));
        if (!received.isEmpty() && digit.match(received.last()).hasMatch() &&
            (multiTransmitter || received.size() > sent.size()))
            received.removeLast();
        row.call = rest[at];
        row.sent = sent.join(QLatin1Char(' '));
        row.received = received.join(QLatin1Char(' '));
        return qso;
    }
};

} // namespace

QString CabrilloProblem::Describe() const {
    return QStringLiteral("line %1: %2").arg(line).arg(reason);
}

bool LooksLikeCabrillo(const QByteArray& data) {
    // Some Windows loggers start their files with a byte order mark.
    const QByteArray text = data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray text = line.trimmed();
        if (!text.isEmpty())
            return text.toUpper().startsWith("START-OF-LOG:");
    }
    return false;
}

CabrilloContents ReadCabrillo(const QByteArray& data) {
    CabrilloContents out;
    QsoLineReader qsoReader;
    QString whole = QString::fromUtf8(data);
    if (whole.startsWith(QChar(0xFEFF)))
        whole.remove(0, 1);
    const QStringList lines = whole.split(QLatin1Char('\n'));
    bool started = false;
    bool ended = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const QString text = lines[i].trimmed();
        if (text.isEmpty())
            continue;
        const auto problem = [&](const QString& reason) {
            out.problems.push_back(CabrilloProblem{number, reason});
        };
        if (ended) {
            problem(QStringLiteral("text after END-OF-LOG:"));
            continue;
        }
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            problem(QStringLiteral("not a Cabrillo line (TAG: value)"));
            continue;
        }
        const QString tag = text.left(colon).trimmed().toUpper();
        const QString value = text.mid(colon + 1).trimmed();
        if (!started) {
            if (tag != QLatin1String("START-OF-LOG")) {
                problem(QStringLiteral("the log does not begin with START-OF-LOG:"));
                return out;
            }
            started = true;
            continue;
        }
        if (tag == QLatin1String("QSO")) {
            QString why;
            if (auto qso = qsoReader.Read(value, number, &why))
                out.qsos.push_back(std::move(*qso));
            else
                problem(why);
            continue;
        }
        if (tag == QLatin1String("END-OF-LOG")) {
            ended = true;
            continue;
        }
        if (tag == QLatin1String("CALLSIGN")) {
            out.callsign = value.toUpper();
            if (!out.callsign.isEmpty() && !LooksLikeCallSign(out.callsign))
                problem(QStringLiteral("CALLSIGN %1 is not a call sign").arg(value));
            continue;
        }
        if (tag == QLatin1String("CONTEST")) {
            out.contest = value;
            continue;
        }
        const QString kept = KeptTag(tag);
        if (kept.isEmpty() || value.isEmpty())
            continue;
        QString error;
        QString setValue = value;
        // Cabrillo writes a time as "yyyy-mm-dd hhmm" as often as with a colon.
        static const QRegularExpression bareTime(
            QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d) (\\d\\d)(\\d\\d)$"));
        if (const auto m = bareTime.match(value); m.hasMatch())
            setValue = m.captured(1) + QLatin1Char(' ') + m.captured(2) + QLatin1Char(':') +
                       m.captured(3);
        if (kept.startsWith(QLatin1String("CATEGORY-")))
            setValue = setValue.toUpper();
        if (!out.details.Set(kept, setValue, &error)) {
            problem(error);
            continue;
        }
        out.givenTags.insert(kept);
        if (kept == QLatin1String("CATEGORY-TRANSMITTER"))
            qsoReader.multiTransmitter = out.details.MultiTransmitter();
    }
    if (!started)
        out.problems.push_back(CabrilloProblem{1, QStringLiteral("no START-OF-LOG: line")});
    return out;
}

} // namespace qarvel
