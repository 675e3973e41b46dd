#include "ContestScorer.h"

#include "BandNames.h"
#include "plugin/CurrentRecord.h"
#include "plugin/TextRules.h"

namespace zelmar {

namespace {

// The counters are 32-bit signed; they wrap rather than overflow, since
// signed overflow would be undefined behaviour.
std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The band rows of the grid: row r shows the statistic of kGridBands[r - 1].
constexpr std::string_view kGridBands[] = {"1.8", "3.5", "7", "14", "21", "28"};
constexpr int kTotalsRow = 7;

} // namespace

TContestScorer::TContestScorer(TBandFollowerSource follower) : follower_(std::move(follower)) {}

void TContestScorer::AddToQSOList() {
    const TPluginRecord& r = CurrentRecord();
    qsoList_.push_back(
        TQSO{ReadShortText(r.CallSign), ReadShortText(r.DigiBand), ReadShortText(r.QSOMode)});
}

void TContestScorer::SortQSOList() {
    // After a replay the list stands in the database's order; after a
    // counted QSO only that QSO is out of place.
    const std::size_t n = qsoList_.size();
    if (sortedCount_ + 1 == n)
        qsoList_.SortInLast();
    else if (sortedCount_ < n)
        qsoList_.SortByCall();
    sortedCount_ = n;
}

int TContestScorer::CompareQSOByCall(const TQSO& a, const TQSO& b) {
    const int c = a.call.compare(b.call);
    return c > 0 ? 1 : (c < 0 ? -1 : 0);
}

bool TContestScorer::IsDupe() const {
    const TPluginRecord& r = CurrentRecord();
    const std::string call = ReadShortText(r.CallSign);
    const std::string band = ReadShortText(r.DigiBand);
    const std::string mode = ReadShortText(r.QSOMode);

    std::ptrdiff_t low = 0;
    std::ptrdiff_t high = static_cast<std::ptrdiff_t>(qsoList_.size()) - 1;
    std::ptrdiff_t mid = 0;
    bool found = false;
    while (high >= low && !found) {
        mid = (low + high) / 2;
        const int c = call.compare(qsoList_[static_cast<std::size_t>(mid)].call);
        if (c < 0)
            high = mid - 1;
        else if (c > 0)
            low = mid + 1;
        else
            found = true;
    }
    if (!found)
        return false;

    auto first = static_cast<std::size_t>(mid);
    while (first > 0 && qsoList_[first - 1].call == call)
        --first;

    for (std::size_t i = first; i < qsoList_.size(); ++i) {
        const TQSO& q = qsoList_[i];
        if (q.call != call)
            return false;
        if (q.band == band && q.mode == mode)
            return true;
    }
    return false;
}

TStatistic& TContestScorer::StatisticFor(const std::string& band) {
    const auto [it, added] = statIndex_.emplace(band, statList_.size());
    if (added)
        statList_.push_back(TStatistic{band});
    return statList_[it->second];
}

std::int32_t TContestScorer::ScoreQSO(bool record) {
    if (IsDupe())
        return -1;

    const TPluginRecord& r = CurrentRecord();
    const std::string band = ReadShortText(r.DigiBand);
    const std::string dxccPrefix = ReadShortText(r.DXCCPrefix);

    TStatistic* s = nullptr;
    if (record) {
        AddToQSOList();
        s = &StatisticFor(band);
    }

    const std::string p = Trim(UpperCase(dxccPrefix));
    const bool home = IsHomePrefix(p);
    std::int32_t points;
    if (home)
        points = 8;
    else if (UpperCase(ReadShortText(r.Continent)) != UpperCase(ReadShortText(r.MyContinent)))
        points = 4;
    else if (p != Trim(UpperCase(ReadShortText(r.MyDXCCPrefix))))
        points = 2;
    else
        points = 1;

    if (!record)
        return points;

    s->QSOs = WrappingAdd(s->QSOs, 1);
    s->points = WrappingAdd(s->points, points);

    if (!home) {
        std::string key = band + "|" + dxccPrefix + "|";
        if (!dxccWorked_.Contains(key)) {
            s->DXCCMultipliers = WrappingAdd(s->DXCCMultipliers, 1);
            dxccWorked_.Add(std::move(key));
        }
    }

    std::string county;
    if (MatchCountyCode(Trim(UpperCase(ReadShortText(r.QSOReportRecived))), county) &&
        tables_.CountyLookup(county) == county) {
        std::string key = band + "|" + county + "|";
        if (!domWorked_.Contains(key)) {
            s->countyMultipliers = WrappingAdd(s->countyMultipliers, 1);
            domWorked_.Add(std::move(key));
        }
    }

    ShowDXList();
    return points;
}

void TContestScorer::ShowDXList() {
    const std::string t = Trim(ReadShortText(CurrentRecord().DigiBand));
    if (t.empty())
        return;
    const int n = BandNumber(t);
    if (n == 0 || !follower_)
        return;
    if (TBandFollower* window = follower_())
        window->SelectBand(n);
}

TStatisticTotals TContestScorer::Totals() const {
    TStatisticTotals t;
    for (const TStatistic& s : statList_) {
        t.QSOs = WrappingAdd(t.QSOs, s.QSOs);
        t.points = WrappingAdd(t.points, s.points);
        t.countyMultipliers = WrappingAdd(t.countyMultipliers, s.countyMultipliers);
        t.DXCCMultipliers = WrappingAdd(t.DXCCMultipliers, s.DXCCMultipliers);
    }
    t.score = std::int64_t{t.points} *
              (std::int64_t{t.countyMultipliers} + std::int64_t{t.DXCCMultipliers});
    return t;
}

std::string TContestScorer::ScoreLine(const TStatisticTotals& t) {
    return "Score: " + std::to_string(t.points) + "*(" + std::to_string(t.countyMultipliers) + "+" +
           std::to_string(t.DXCCMultipliers) + ")=" + std::to_string(t.score);
}

void TContestScorer::ShowStatistic(TStatisticGrid& grid) const {
    auto writeRow = [&grid](int row, std::int32_t qsos, std::int32_t points, std::int32_t county,
                            std::int32_t dxcc) {
        grid.SetCell(1, row, std::to_string(qsos));
        grid.SetCell(2, row, std::to_string(points));
        grid.SetCell(3, row, std::to_string(county));
        grid.SetCell(4, row, std::to_string(dxcc));
    };
    for (const TStatistic& s : statList_) {
        for (int i = 0; i < 6; ++i)
            if (s.band == kGridBands[i])
                writeRow(i + 1, s.QSOs, s.points, s.countyMultipliers, s.DXCCMultipliers);
    }
    const TStatisticTotals t = Totals();
    writeRow(kTotalsRow, t.QSOs, t.points, t.countyMultipliers, t.DXCCMultipliers);
    grid.SetScoreLine(ScoreLine(t));
}

void TContestScorer::Clear() {
    qsoList_.clear();
    sortedCount_ = 0;
    statList_.clear();
    statIndex_.clear();
    domWorked_.Clear();
    dxccWorked_.Clear();
}

void TContestScorer::RecalcFromLog(TLogQuery& query, TStatisticGrid& grid, TMessagePump& pump) {
    TPluginRecord& r = CurrentRecord();
    const std::string rememberedBand = ReadShortText(r.DigiBand);

    grid.ClearFigures();
    Clear();
    ShowDXList();

    query.Close();
    const std::string table = ReadShortText(r.TableName);
    // The name arrives in the record and is pasted into the statement: only
    // an identifier that cannot end the statement may reach the database.
    if (!IsPlainTableName(table))
        throw TDatabaseError("Invalid log table name '" + table +
                             "': only letters, digits and '_', or a name in double quotes "
                             "without quotes or control characters, and one schema part "
                             "are allowed");
    query.SetSQL("Select * from " + table + " order by CallSign");
    query.Open();
    pump.ProcessMessages();

    while (!query.Eof()) {
        WriteShortText(r.QSOReportRecived, query.FieldAsText("QSOReportRecived"));
        WriteShortText(r.DXCCPrefix, query.FieldAsText("DXCCPrefix"));
        WriteShortText(r.MainPrefix, query.FieldAsText("MainPrefix"));
        WriteShortText(r.CallSign, query.FieldAsText("CallSign"));
        WriteShortText(r.DigiBand, query.FieldAsText("DigiBand"));
        WriteShortText(r.QSOMode, query.FieldAsText("QSOMode"));
        WriteShortText(r.Continent, UpperCase(query.FieldAsText("Continent")));
        ScoreQSO(true);
        query.Next();
    }

    query.Close();
    WriteShortText(r.DigiBand, rememberedBand);
}

} // namespace zelmar
