#include "contest/ScoreTimeline.h"

#include "contest/QsoClock.h"

#include "plugin/CurrentRecord.h"
#include "scoring/ContestScorer.h"
#include "tables/TextLines.h"

#include <QFile>

namespace qarvel {

namespace {

void Write(zelmar::ShortText& slot, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    zelmar::WriteShortText(
        slot, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace

ScoreTimeline::ScoreTimeline(const StationSettings& station, std::vector<std::string> countyTable)
    : station_(station), countyTable_(std::move(countyTable)) {}

ScoreTimeline ScoreTimeline::FromPluginsFolder(const StationSettings& station,
                                               const QString& pluginsFolder) {
    std::vector<std::string> lines;
    try {
        zelmar::LoadTextLines(
            QFile::encodeName(pluginsFolder + QStringLiteral("/romanian.dom")).toStdString(), lines);
    } catch (const zelmar::TFileError&) {
        lines.clear();
    }
    return ScoreTimeline(station, std::move(lines));
}

std::vector<ScoreTimeline::Point> ScoreTimeline::Build(const std::vector<QsoRow>& rows) const {
    zelmar::TContestScorer scorer;
    scorer.Tables().SetDomTable(countyTable_);
    // The rules read the current record; this program's copy is its own
    // (the module keeps another), and it is put back as it was.
    zelmar::TPluginRecord& record = zelmar::CurrentRecord();
    const zelmar::TPluginRecord saved = record;
    Write(record.MyContinent, station_.continent);
    Write(record.MyDXCCPrefix, station_.dxccPrefix);
    std::vector<Point> out;
    out.reserve(rows.size());
    for (const QsoRow& row : rows) {
        Write(record.CallSign, row.call);
        Write(record.DigiBand, row.band);
        Write(record.QSOMode, row.mode);
        Write(record.Continent, row.continent.toUpper());
        Write(record.QSOReportRecived, row.received);
        Write(record.DXCCPrefix, row.dxccPrefix);
        Write(record.MainPrefix, row.mainPrefix);
        // As the module does after each QSO: only the new entry is out of
        // call order, so the duplicate search stays a binary search.
        if (scorer.ScoreQSO(true) >= 0)
            scorer.SortQSOList();
        if (const auto seconds = QsoClock::Seconds(row))
            out.push_back({*seconds, scorer.Totals().score});
    }
    record = saved;
    return out;
}

} // namespace qarvel
