#include "contest/QsoCheck.h"

#include "reference/CountryFile.h"

#include "plugin/TextRules.h"
#include "tables/TextLines.h"

#include <QFile>

namespace qarvel {

QsoCheck::QsoCheck(const CountryFile* countries, std::vector<std::string> countyTable)
    : countries_(countries) {
    tables_.SetDomTable(std::move(countyTable));
}

QsoCheck QsoCheck::FromPluginsFolder(const CountryFile* countries, const QString& pluginsFolder) {
    std::vector<std::string> lines;
    const QString path = pluginsFolder + QStringLiteral("/romanian.dom");
    try {
        zelmar::LoadTextLines(QFile::encodeName(path).toStdString(), lines);
    } catch (const zelmar::TFileError&) {
        // Unreadable counts as no table: every county is then reported,
        // which is what the operator has to see before sending a log.
        lines.clear();
    }
    return QsoCheck(countries, std::move(lines));
}

std::vector<QsoFinding> QsoCheck::Check(const QsoRow& qso) const {
    std::vector<QsoFinding> findings;
    const std::string call = qso.call.trimmed().toUpper().toStdString();
    if (call.empty())
        return findings;
    std::optional<CountryMatch> match;
    if (countries_) {
        match = countries_->Resolve(call);
        if (!match)
            findings.push_back({QsoFinding::Kind::UnknownCountry,
                                QStringLiteral("The country file cannot resolve %1")
                                    .arg(qso.call.trimmed().toUpper())});
    }
    const std::string prefix = match ? match->primaryPrefix : qso.dxccPrefix.toStdString();
    if (!zelmar::IsHomePrefix(zelmar::Trim(zelmar::UpperCase(prefix))))
        return findings;

    const std::string received =
        zelmar::Trim(zelmar::UpperCase(qso.received.toLocal8Bit().toStdString()));
    std::string county;
    if (!zelmar::MatchCountyCode(received, county))
        findings.push_back({QsoFinding::Kind::NoCounty,
                            QStringLiteral("%1 is a YO station, but the exchange holds no county")
                                .arg(qso.call.trimmed().toUpper())});
    else if (tables_.CountyLookup(county) != county)
        findings.push_back({QsoFinding::Kind::UnknownCounty,
                            QStringLiteral("%1 is not a county of the county table")
                                .arg(QString::fromLocal8Bit(county.c_str()))});
    return findings;
}

bool QsoCheck::IsCounty(const QString& code) const {
    const std::string county = code.trimmed().toUpper().toStdString();
    return county.size() == 2 && tables_.CountyLookup(county) == county;
}

QStringList QsoCheck::CountyCodes() const {
    QStringList codes;
    for (const std::string& line : tables_.DomTable()) {
        const QString code =
            QString::fromLocal8Bit(line.c_str()).section(QLatin1Char('='), 0, 0).trimmed();
        if (IsCounty(code) && !codes.contains(code.toUpper()))
            codes << code.toUpper();
    }
    codes.sort();
    return codes;
}

} // namespace qarvel
