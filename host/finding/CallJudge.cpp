#include "finding/CallJudge.h"

#include "contest/ContestSession.h"
#include "reference/BandPlan.h"
#include "reference/CountryFile.h"

#include "plugin/ShortText.h"
#include "plugin/TextRules.h"
#include "tables/TextLines.h"

#include <QFile>

namespace qarvel {

namespace {

bool IsHome(const QString& dxccPrefix) {
    return zelmar::IsHomePrefix(dxccPrefix.trimmed().toUpper().toStdString());
}

} // namespace

CallJudge::CallJudge(ContestSession& session, const CountryFile* countries)
    : session_(session), countries_(countries) {}

void CallJudge::LoadTables(const QString& hostFolder) {
    try {
        tables_.Load(QFile::encodeName(hostFolder).toStdString());
    } catch (const zelmar::TFileError&) {
        // Without the tables only the log's own exchanges are known; the
        // module reports an unreadable table itself.
        tables_.Clear();
    }
    Forget();
}

QString CallJudge::CountyOf(const QString& exchange) const {
    std::string county;
    if (!zelmar::MatchCountyCode(exchange.trimmed().toUpper().toStdString(), county) ||
        tables_.CountyLookup(county) != county)
        return {};
    return QString::fromStdString(county);
}

void CallJudge::Reset(const std::vector<QsoRow>& rows) {
    history_.Clear();
    worked_.Clear();
    for (const QsoRow& row : rows)
        Add(row);
    Forget();
}

void CallJudge::Add(const QsoRow& row) {
    history_.Add(row.call.toStdString(), row.received.simplified().toUpper().toStdString());
    worked_.Add(row.band.toStdString(),
                IsHome(row.dxccPrefix) ? std::string() : row.dxccPrefix.toStdString(),
                CountyOf(row.received).toStdString());
    Forget();
}

void CallJudge::Forget() {
    cache_.clear();
}

QString CallJudge::KnownExchange(const QString& call, const QString& dxccPrefix) const {
    zelmar::TPluginRecord record{};
    const QByteArray c = call.toLatin1();
    const QByteArray p = dxccPrefix.toLatin1();
    zelmar::WriteShortText(record.CallSign, std::string_view(c.constData(), c.size()));
    zelmar::WriteShortText(record.DXCCPrefix, std::string_view(p.constData(), p.size()));
    const std::string fromTable = tables_.GrabExchange(record);
    if (!fromTable.empty())
        return QString::fromStdString(fromTable).trimmed();
    return QString::fromStdString(history_.Exchange(call.toStdString()));
}

QStringList CallJudge::DifferingCounties(const QString& call) const {
    QStringList counties;
    for (const std::string& e : history_.Distinct(call.toStdString())) {
        const QString county = CountyOf(QString::fromStdString(e));
        if (!county.isEmpty() && !counties.contains(county))
            counties << county;
    }
    if (counties.size() < 2)
        counties.clear();
    return counties;
}

CallStatus CallJudge::Judge(const QString& call, const QString& band, const QString& mode) {
    const QString key = band + QLatin1Char('|') + mode + QLatin1Char('|') + call;
    if (const auto it = cache_.constFind(key); it != cache_.constEnd())
        return *it;

    QsoRow q;
    q.call = call;
    q.band = band;
    q.mode = mode;
    if (countries_)
        if (const auto m = countries_->Resolve(call.toStdString())) {
            q.dxccPrefix = QString::fromStdString(m->primaryPrefix);
            q.continent = QString::fromStdString(m->continent);
            q.mainPrefix = QString::fromStdString(m->matchedPrefix);
        }
    const QString exchange = KnownExchange(call, q.dxccPrefix);
    if (!exchange.isEmpty())
        q.received = DefaultReport(mode) + QLatin1Char(' ') + exchange;

    CallStatus status = CallStatus::Points;
    if (session_.IsStarted() && session_.Score(q) < 0) {
        status = CallStatus::Dupe;
    } else if (!q.dxccPrefix.isEmpty()) {
        const std::string b = band.toStdString();
        const QString county = CountyOf(exchange);
        if ((!IsHome(q.dxccPrefix) && !worked_.HasCountry(b, q.dxccPrefix.toStdString())) ||
            (!county.isEmpty() && !worked_.HasCounty(b, county.toStdString())))
            status = CallStatus::NewMultiplier;
    }
    cache_.insert(key, status);
    return status;
}

} // namespace qarvel
