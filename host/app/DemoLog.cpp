#include "app/DemoLog.h"

#include "reference/BandPlan.h"
#include "reference/ContestMix.h"

namespace qarvel {

std::vector<QsoRow> MakeDemoLog(std::size_t count, const QDateTime& start, unsigned seed) {
    const std::vector<MixQSO> mix = GenerateContestMix(count, seed);
    std::vector<QsoRow> rows;
    rows.reserve(mix.size());
    const qint64 step = count > 0 ? 24 * 3600 / static_cast<qint64>(count) : 0;
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const MixQSO& m = mix[i];
        const QDateTime when = start.addSecs(static_cast<qint64>(i) * step);
        QsoRow r;
        r.date = when.date().toString(QStringLiteral("yyyy-MM-dd"));
        r.time = when.time().toString(QStringLiteral("HH:mm:ss"));
        r.call = QString::fromStdString(m.call);
        r.band = QString::fromStdString(m.band);
        r.mode = QString::fromStdString(m.mode);
        r.continent = QString::fromStdString(m.continent);
        r.received = QString::fromStdString(m.exchange);
        r.dxccPrefix = QString::fromStdString(m.prefix);
        r.mainPrefix = QString::fromStdString(m.mainPrefix);
        r.sent = DefaultReport(r.mode) + QStringLiteral(" BU");
        rows.push_back(std::move(r));
    }
    return rows;
}

} // namespace qarvel
