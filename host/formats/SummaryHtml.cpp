#include "formats/SummaryHtml.h"

#include "contest/QsoClock.h"

#include <QBuffer>

namespace qarvel {

namespace {

QString Cell(const QString& tag, const QString& text, bool number = false) {
    return QStringLiteral("<%1%2>%3</%1>")
        .arg(tag, number ? QStringLiteral(" align=\"right\"") : QString(), text.toHtmlEscaped());
}

} // namespace

QString SummaryHtml::DataUrl(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

QString SummaryHtml::Write(const ContestSummary& s, const QString& title,
                           const QString& hourlyImage, const QString& scoreImage) {
    QString h;
    h += QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>%1</title>\n"
                        "<style>body{font-family:sans-serif} table{border-collapse:collapse}"
                        " td,th{border:1px solid #999;padding:2px 8px}"
                        " th{background:#eee}</style>\n</head><body>\n")
             .arg(title.toHtmlEscaped());
    h += QStringLiteral("<h1>%1</h1>\n").arg(title.toHtmlEscaped());
    QString facts = QStringLiteral("%1 QSOs").arg(s.qsos);
    if (!s.scoreLine.isEmpty())
        facts += QStringLiteral(", ") + s.scoreLine;
    h += QStringLiteral("<p>%1. Time on %2, time off %3 in %4 break(s) (a break counts from %5 "
                        "minutes without a QSO).</p>\n")
             .arg(facts.toHtmlEscaped(), QsoClock::Duration(s.timeOn), QsoClock::Duration(s.timeOff))
             .arg(s.breaks.size())
             .arg(s.minimumBreak);
    if (s.undated > 0)
        h += QStringLiteral("<p>%1 QSOs have no readable date and time and are in no hour.</p>\n")
                 .arg(s.undated);

    h += QStringLiteral("<h2>QSOs per hour and band</h2>\n<p><img src=\"%1\" alt=\"QSOs per hour "
                        "and band\"></p>\n")
             .arg(hourlyImage.toHtmlEscaped());
    h += QStringLiteral("<table id=\"hourly\">\n<tr>") + Cell(QStringLiteral("th"), QStringLiteral("Hour (UTC)"));
    for (const QString& band : s.bands)
        h += Cell(QStringLiteral("th"), band);
    h += Cell(QStringLiteral("th"), QStringLiteral("Total")) + QStringLiteral("</tr>\n");
    std::vector<int> totals(static_cast<std::size_t>(s.bands.size()), 0);
    for (const ContestSummary::Hour& hour : s.hours) {
        h += QStringLiteral("<tr>") + Cell(QStringLiteral("td"), ContestSummary::HourText(hour.start));
        for (std::size_t b = 0; b < hour.qsos.size(); ++b) {
            h += Cell(QStringLiteral("td"), QString::number(hour.qsos[b]), true);
            totals[b] += hour.qsos[b];
        }
        h += Cell(QStringLiteral("td"), QString::number(hour.total), true) + QStringLiteral("</tr>\n");
    }
    h += QStringLiteral("<tr>") + Cell(QStringLiteral("th"), QStringLiteral("Total"));
    int all = 0;
    for (int t : totals) {
        h += Cell(QStringLiteral("th"), QString::number(t), true);
        all += t;
    }
    h += Cell(QStringLiteral("th"), QString::number(all), true) + QStringLiteral("</tr>\n</table>\n");

    h += QStringLiteral("<h2>Claimed score</h2>\n<p><img src=\"%1\" alt=\"Claimed score over "
                        "time\"></p>\n")
             .arg(scoreImage.toHtmlEscaped());

    if (!s.grid.empty()) {
        h += QStringLiteral("<h2>Points and multipliers per band</h2>\n<table id=\"bands\">\n");
        for (std::size_t r = 0; r < s.grid.size(); ++r) {
            h += QStringLiteral("<tr>");
            for (qsizetype c = 0; c < s.grid[r].size(); ++c)
                h += Cell(r == 0 || r + 1 == s.grid.size() ? QStringLiteral("th") : QStringLiteral("td"),
                          s.grid[r][c], c > 0);
            h += QStringLiteral("</tr>\n");
        }
        h += QStringLiteral("</table>\n");
    }

    h += QStringLiteral("<h2>Breaks</h2>\n");
    if (s.breaks.empty()) {
        h += QStringLiteral("<p>No break of %1 minutes or more.</p>\n").arg(s.minimumBreak);
    } else {
        h += QStringLiteral("<ul id=\"breaks\">\n");
        for (const OffTimeBreak& b : s.breaks)
            h += QStringLiteral("<li>%1 to %2 UTC: %3 minutes</li>\n")
                     .arg(QsoClock::MinuteText(b.firstMinute),
                          QsoClock::MinuteText(b.firstMinute + b.minutes - 1))
                     .arg(b.minutes);
        h += QStringLiteral("</ul>\n");
    }
    h += QStringLiteral("</body></html>\n");
    return h;
}

} // namespace qarvel
