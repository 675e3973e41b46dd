#include "contest/ScoreReport.h"

#include <QXmlStreamWriter>
#include <map>

namespace qarvel {

namespace {

// The grid's cells are empty for a band without QSOs.
QString Cell(const QStringList& row, int column) {
    const QString text = column < row.size() ? row[column].trimmed() : QString();
    return text.isEmpty() ? QStringLiteral("0") : text;
}

QString BandsClass(const ScoreReport& r) {
    if (!r.details.categoryBand.isEmpty())
        return r.details.categoryBand;
    QString only;
    int worked = 0;
    for (std::size_t i = 1; i < r.grid.size(); ++i) {
        const QStringList& row = r.grid[i];
        if (row.isEmpty() || row[0] == QLatin1String("Total"))
            continue;
        if (Cell(row, 1) != QLatin1String("0")) {
            ++worked;
            only = row[0] + QLatin1Char('M');
        }
    }
    return worked == 1 ? only : QStringLiteral("ALL");
}

void Write(const ScoreReport& r, QXmlStreamWriter& xml, const QDateTime* at) {
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("dynamicresults"));
    xml.writeTextElement(QStringLiteral("contest"), r.contest);
    xml.writeTextElement(QStringLiteral("call"), r.call);
    for (const QString& op : r.details.operators.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (!op.startsWith(QLatin1Char('@')))
            xml.writeTextElement(QStringLiteral("ops"), op);
    xml.writeStartElement(QStringLiteral("class"));
    xml.writeAttribute(QStringLiteral("ops"), r.details.categoryOperator);
    xml.writeAttribute(QStringLiteral("mode"), r.mode);
    xml.writeAttribute(QStringLiteral("power"), r.details.categoryPower);
    xml.writeAttribute(QStringLiteral("bands"), BandsClass(r));
    xml.writeAttribute(QStringLiteral("transmitter"), r.details.categoryTransmitter);
    xml.writeAttribute(QStringLiteral("assisted"), r.details.categoryAssisted);
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("score"), QString::number(r.score));
    if (at)
        xml.writeTextElement(QStringLiteral("timestamp"),
                             at->toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    xml.writeTextElement(QStringLiteral("soft"), QStringLiteral("qarvel"));
    xml.writeTextElement(QStringLiteral("version"), r.version);
    xml.writeStartElement(QStringLiteral("breakdown"));
    for (std::size_t i = 1; i < r.grid.size(); ++i) {
        const QStringList& row = r.grid[i];
        if (row.isEmpty())
            continue;
        const QString band =
            row[0] == QLatin1String("Total") ? QStringLiteral("total") : row[0].trimmed();
        const auto entry = [&](const char* name, int column, const char* type) {
            xml.writeStartElement(QLatin1String(name));
            xml.writeAttribute(QStringLiteral("band"), band);
            xml.writeAttribute(QStringLiteral("mode"), QStringLiteral("ALL"));
            if (type)
                xml.writeAttribute(QStringLiteral("type"), QLatin1String(type));
            xml.writeCharacters(Cell(row, column));
            xml.writeEndElement();
        };
        entry("qso", 1, nullptr);
        entry("point", 2, nullptr);
        entry("mult", 3, "county");
        entry("mult", 4, "dxcc");
    }
    std::map<QString, qint64> modeTotals;
    for (const ScoreReport::ModeQsos& m : r.modeQsos) {
        xml.writeStartElement(QStringLiteral("qso"));
        xml.writeAttribute(QStringLiteral("band"), m.band);
        xml.writeAttribute(QStringLiteral("mode"), m.mode);
        xml.writeCharacters(QString::number(m.qsos));
        xml.writeEndElement();
        modeTotals[m.mode] += m.qsos;
    }
    for (const auto& [mode, qsos] : modeTotals) {
        xml.writeStartElement(QStringLiteral("qso"));
        xml.writeAttribute(QStringLiteral("band"), QStringLiteral("total"));
        xml.writeAttribute(QStringLiteral("mode"), mode);
        xml.writeCharacters(QString::number(qsos));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
}

} // namespace

QByteArray ScoreReport::Xml(const QDateTime& at) const {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    Write(*this, xml, &at);
    return out;
}

QByteArray ScoreReport::Figures() const {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    Write(*this, xml, nullptr);
    return out;
}

} // namespace qarvel
