#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace qarvel {

// What a contest's log robot wants to know besides the QSOs: the entry's
// categories, who operated and where, and the contest period the QSOs are
// judged against. Empty texts are headers the operator has not given.
struct SubmissionDetails {
    QString categoryOperator;    // SINGLE-OP, MULTI-OP, ...
    QString categoryAssisted;    // ASSISTED, NON-ASSISTED
    QString categoryBand;        // declared band; empty: taken from the log
    QString categoryPower;       // HIGH, LOW, QRP
    QString categoryStation;     // FIXED, MOBILE, ...
    QString categoryTransmitter; // ONE, TWO, LIMITED, UNLIMITED, SWL
    QString operators;           // calls separated by blanks
    QString name;
    QStringList address; // up to six lines
    QString email;
    QString club;
    QString location;
    QStringList soapbox;
    QDateTime periodStart; // UTC; invalid: not given
    QDateTime periodEnd;
    // The contest's off-time rules, in minutes; 0: not given. They go into
    // no Cabrillo header. A break counts only when it lasts at least the
    // minimum (30 minutes when none is given); the log's time on must not
    // exceed the maximum (none when not given).
    int minimumBreakMinutes = 0;
    int maximumOperatingMinutes = 0;

    int MinimumBreak() const;

    // The values a combo box offers for each category (the first, empty,
    // means "not given").
    static const QStringList& OperatorValues();
    static const QStringList& AssistedValues();
    static const QStringList& BandValues();
    static const QStringList& PowerValues();
    static const QStringList& StationValues();
    static const QStringList& TransmitterValues();

    // Several transmitters on the air: the QSO lines then carry the
    // transmitter column.
    bool MultiTransmitter() const;

    // Sets the header `tag` (a Cabrillo tag such as CATEGORY-POWER, NAME,
    // ADDRESS, SOAPBOX, or PERIOD-START / PERIOD-END as "yyyy-MM-dd HH:mm"
    // UTC) from `value`. ADDRESS and SOAPBOX add a line each time. False,
    // with the reason, for an unknown tag, a value a robot would refuse, or
    // a time that cannot be read.
    bool Set(const QString& tag, const QString& value, QString* error);

    // MINIMUM-BREAK and MAXIMUM-OPERATING-TIME (minutes, or hours as
    // H:MM) are set the same way.
    static QStringList OffTimeTags();
    // "90" or "1:30" as minutes; nothing for another text.
    static std::optional<int> ParseMinutes(const QString& text);

    // The Cabrillo tags Set() knows, for help texts.
    static QStringList Tags();

    // Why a header text cannot go into a Cabrillo file (a line break or a
    // character outside printable ASCII), or an empty text when it can.
    static QString TextProblem(const QString& text);

    // "yyyy-MM-dd HH:mm" in UTC, the way the period is stored and shown.
    static QString FormatTime(const QDateTime& time);
    static QDateTime ParseTime(const QString& text);

    friend bool operator==(const SubmissionDetails&, const SubmissionDetails&) = default;
};

} // namespace qarvel
