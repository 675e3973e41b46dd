#include "contest/LogCheck.h"

#include "contest/OffTimeCheck.h"
#include "contest/QsoCheck.h"
#include "formats/CabrilloWriter.h"
#include "formats/ExchangeText.h"
#include "reference/BandPlan.h"
#include "reference/MasterScp.h"

#include <QDateTime>
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

} // namespace

LogCheck::LogCheck(const QsoCheck& qsoCheck, const MasterScp* scp)
    : qsoCheck_(qsoCheck), scp_(scp) {}

int LogCheck::Faults(const std::vector<LogFinding>& findings) {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [](const LogFinding& f) { return !f.information; }));
}

std::vector<LogFinding> LogCheck::Check(const std::vector<QsoRow>& rows,
                                        const SubmissionDetails& details) const {
    std::vector<LogFinding> out;
    QSet<QString> worked;
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
        if (worked.contains(key))
            add(QStringLiteral("duplicate of an earlier QSO (same call, band and mode); it "
                               "scores nothing"));
        worked.insert(key);

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
    std::stable_sort(out.begin(), out.end(),
                     [](const LogFinding& a, const LogFinding& b) { return a.number < b.number; });
    return out;
}

} // namespace qarvel
