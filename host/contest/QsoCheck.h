#pragma once

#include "logbook/QsoRow.h"

#include "tables/ReferenceTables.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace qarvel {

class CountryFile;

// What a log checker would take points off for in one QSO, judged as the
// contest module counts it: a home station's county from the last two
// letters of the exchange received, looked up in the county table; the
// country from the country file.
struct QsoFinding {
    enum class Kind {
        NoCounty,       // a home (YO) station whose exchange holds no county code
        UnknownCounty,  // a county code the county table does not have
        UnknownCountry, // a call the country file cannot resolve
    };
    Kind kind;
    QString text;
};

class QsoCheck {
public:
    // Without a country file no call is judged unresolvable (nothing can be).
    QsoCheck(const CountryFile* countries, std::vector<std::string> countyTable);

    // The county table romanian.dom in `pluginsFolder`; a missing file gives
    // an empty table, so every county code is then unknown.
    static QsoCheck FromPluginsFolder(const CountryFile* countries, const QString& pluginsFolder);

    // The findings for `qso` as the entry line or the log hold it; its
    // country is resolved again here, not taken from the row.
    std::vector<QsoFinding> Check(const QsoRow& qso) const;

    // Whether the county table lists `code` (two letters, any case).
    bool IsCounty(const QString& code) const;
    // Every code the county table lists, sorted.
    QStringList CountyCodes() const;

private:
    const CountryFile* countries_;
    zelmar::TReferenceTables tables_;
};

} // namespace qarvel
