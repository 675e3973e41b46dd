#include "contest/LogCheck.h"

#include "contest/OffTimeCheck.h"
#include "contest/QsoCheck.h"
#include "contest/SentExchangeRule.h"
#include "formats/CabrilloWriter.h"
#include "formats/ExchangeText.h"
#include "reference/BandPlan.h"
#include "reference/MasterScp.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include <algorithm>

namespace qarvel {

namespace {

QDateTime WhenLogged(const QsoRow& r) {
    QDateTime t = QDateTime::fromString(r.date + QLatin1Char(' ') + r.time,
                                        QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!t.isValid())
        t = QDateTime::fromString(r.date + QLatin1Char(' ') + r.time,
                                  QStringLiteral("yyyy-MM-dd HH:mm"));
    if (t.isValid())
        t.setTimeZone(QTimeZone::utc());
    return t;
}

// The key the contest module counts a duplicate by: the same call, band
// and mode, compared exactly.
QString DupeKey(const QsoRow& r) {
    return r.call + QLatin1Char('\x1f') + r.band + QLatin1Char('\x1f') + r.mode;
}

QString BandName(const QString& band) {
    const QString adif = AdifNameOfBand(band);
    return adif.isEmpty() ? QStringLiteral("%1 MHz").arg(band) : adif;
}

// The serial number a QSO sent, or -1 when what it sent is none.
int SentSerial(const QsoRow& r) {
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,9}$"));
    const QString rest = ExchangeText::Split(r.sent).rest.simplified();
    return number.match(rest).hasMatch() ? rest.toInt() : -1;
}

QString Range(int first, int last) {
    return first == last ? QStringLiteral("number %1 was").arg(first)
                         : QStringLiteral("numbers %1 to %2 were").arg(first).arg(last);
}

} // namespace

LogCheck::LogCheck(const QsoCheck& qsoCheck, const MasterScp* scp)
    : qsoCheck_(qsoCheck), scp_(scp) {}

int LogCheck::Faults(const std::vector<LogFinding>& findings) {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [](const LogFinding& f) { return !f.information; }));
}

void LogCheck::CheckStation(const std::vector<QsoRow>& rows,
                            std::vector<LogFinding>& out) const {
    const StationSettings& station = *station_;
    if (station.call.trimmed().isEmpty()) {
        out.push_back({0, {}, QStringLiteral("the log has no own call (CALLSIGN): give it in "
                                             "Station > Settings or with --call")});
        return;
    }
    const SentExchangeRule rule(qsoCheck_);
    // An own exchange not given is no fault of the QSOs already logged
    // (an imported log has none); a wrong one is sent with every new QSO.
    const QString own =
        station.sentExchange.trimmed().isEmpty() ? QString() : rule.StationProblem(station);
    if (!own.isEmpty())
        out.push_back({0, {}, QStringLiteral("the station's own exchange: %1").arg(own)});
    // One finding for all the QSOs that sent what does not fit, at the
    // first of them: the operator mends the setting once, not each of a
    // hundred QSOs.
    std::optional<std::size_t> first;
    int times = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QString rest = ExchangeText::Split(rows[i].sent).rest;
        if (rule.QsoProblem(station, rest).isEmpty())
            continue;
        if (!first)
            first = i;
        ++times;
    }
    if (first) {
        QString text = rule.QsoProblem(station, ExchangeText::Split(rows[*first].sent).rest);
        if (times > 1)
            text += QStringLiteral(" (so did %1 more QSOs)").arg(times - 1);
        out.push_back({static_cast<int>(*first) + 1, rows[*first], text});
    }
    if (!SentExchangeRule::IsHome(station))
        CheckSerials(rows, out);
}

void LogCheck::CheckSerials(const std::vector<QsoRow>& rows, std::vector<LogFinding>& out) const {
    QHash<int, int> sentBy; // serial number: the QSO that sent it first
    int highest = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int serial = SentSerial(rows[i]);
        if (serial < 0)
            continue;
        const int number = static_cast<int>(i) + 1;
        if (sentBy.contains(serial))
            out.push_back({number, rows[i],
                           QStringLiteral("serial number %1 sent again; QSO %2 sent it first")
                               .arg(serial)
                               .arg(sentBy.value(serial))});
        else if (serial < highest)
            out.push_back({number, rows[i],
                           QStringLiteral("serial number %1 sent after %2: out of order")
                               .arg(serial)
                               .arg(highest)});
        if (!sentBy.contains(serial))
            sentBy.insert(serial, number);
        highest = std::max(highest, serial);
    }
    // A gap is said at the QSO that sent the number after it. Walked over
    // the numbers sent, not over every number up to the highest: one typo
    // of 999999 must not keep the check busy.
    QList<int> sent = sentBy.keys();
    std::sort(sent.begin(), sent.end());
    int previous = 0;
    for (const int n : sent) {
        if (n > previous + 1) {
            const std::size_t at = static_cast<std::size_t>(sentBy.value(n) - 1);
            out.push_back({sentBy.value(n), rows[at],
                           QStringLiteral("serial %1 never sent before %2")
                               .arg(Range(previous + 1, n - 1))
                               .arg(n)});
        }
        previous = n;
    }
}

std::vector<LogFinding> LogCheck::Check(const std::vector<QsoRow>& rows,
                                        const SubmissionDetails& details) const {
    std::vector<LogFinding> out;
    for (const auto& [tag, value] :
         {std::pair{"CATEGORY-OPERATOR", &details.categoryOperator},
          std::pair{"CATEGORY-POWER", &details.categoryPower},
          std::pair{"CATEGORY-TRANSMITTER", &details.categoryTransmitter}})
        if (value->isEmpty())
            out.push_back({0, {}, QStringLiteral("%1 is not given; a robot refuses the log "
                                                 "without it (Log > Submission details, or "
                                                 "--cabrillo %1=...)")
                                      .arg(QLatin1String(tag))});
    if (station_)
        CheckStation(rows, out);
    QHash<QString, int> worked;
    QDateTime latest;
    const QString declaredBand =
        details.categoryBand == QLatin1String("ALL") ? QString() : details.categoryBand;
    // Said once, at the first QSO off the declared band: the rest follow.
    bool bandContradicted = !declaredBand.isEmpty() && CabrilloBandOfLog(rows) != declaredBand;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QsoRow& r = rows[i];
        const auto add = [&](const QString& text, bool information = false) {
            out.push_back({static_cast<int>(i) + 1, r, text, information});
        };

        const QString key = DupeKey(r);
        // Worth nothing, but no penalty: the robot counts it as 0 points.
        if (worked.contains(key))
            add(QStringLiteral("dupe, 0 points (QSO %1 worked %2 on this band and mode)")
                    .arg(worked.value(key))
                    .arg(r.call.trimmed().toUpper()),
                true);
        else
            worked.insert(key, static_cast<int>(i) + 1);

        if (r.band.trimmed().isEmpty())
            add(QStringLiteral("no band logged"));
        else if (!IsContestBand(r.band))
            add(QStringLiteral("on %1, not a band of the contest (160, 80, 40, 20, 15 and 10 m)")
                    .arg(BandName(r.band)));

        for (const QsoFinding& f : qsoCheck_.Check(r))
            add(f.text);

        if (scp_ && scp_->IsLoaded() && !r.call.trimmed().isEmpty() && !scp_->Lists(r.call))
            add(QStringLiteral("MASTER.SCP does not list %1; check it is no typo")
                    .arg(r.call.trimmed().toUpper()),
                true);

        bool ok = false;
        const double mhz = r.frequency.toDouble(&ok);
        if (ok && mhz > 0) {
            const QString band = BandFromMegahertz(mhz);
            if (band.isEmpty())
                add(QStringLiteral("%1 MHz is outside every band's edges").arg(r.frequency));
            else if (band != r.band)
                add(QStringLiteral("logged on the %1 MHz band, but %2 MHz is in the %3 MHz band")
                        .arg(r.band, r.frequency, band));
        } else if (!r.frequency.trimmed().isEmpty()) {
            add(QStringLiteral("the frequency %1 is no number of MHz").arg(r.frequency));
        }

        const QDateTime when = WhenLogged(r);
        if (!when.isValid()) {
            add(QStringLiteral("the date and time cannot be read"));
        } else {
            if (latest.isValid() && when < latest)
                add(QStringLiteral("out of time order: logged after a QSO of %1")
                        .arg(SubmissionDetails::FormatTime(latest)));
            latest = std::max(latest, when);
            if ((details.periodStart.isValid() && when < details.periodStart) ||
                (details.periodEnd.isValid() && when >= details.periodEnd))
                add(QStringLiteral("outside the contest period %1 to %2")
                        .arg(SubmissionDetails::FormatTime(details.periodStart),
                             SubmissionDetails::FormatTime(details.periodEnd)));
        }

        if (ExchangeText::Split(r.sent).rest.trimmed().isEmpty())
            add(QStringLiteral("no exchange sent after the report"));

        if (bandContradicted && AdifNameOfBand(r.band).toUpper() != declaredBand) {
            add(QStringLiteral("CATEGORY-BAND %1 is declared, but this QSO is on %2 (and the "
                               "log holds other bands)")
                    .arg(declaredBand, AdifNameOfBand(r.band)));
            bandContradicted = false;
        }
    }
    // Breaks and time on are a matter of the whole log, said on the QSOs
    // they concern, among that QSO's other findings.
    for (LogFinding& f : OffTimeCheck(details).Check(rows))
        out.push_back(std::move(f));
    // Each QSO's findings together, in entry order; the whole log's first.
    std::stable_sort(out.begin(), out.end(), [](const LogFinding& a, const LogFinding& b) {
        return a.number < b.number;
    });
    return out;
}

} // namespace qarvel
