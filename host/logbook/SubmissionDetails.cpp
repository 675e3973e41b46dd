#include "logbook/SubmissionDetails.h"

#include "contest/OffTime.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace qarvel {

namespace {

QStringList WithEmpty(std::initializer_list<const char*> values) {
    QStringList out{QString()};
    for (const char* v : values)
        out << QLatin1String(v);
    return out;
}

// A category value as the operator typed it is accepted in any case, but
// only from the list, so that the robot never sees a misspelt one.
bool SetCategory(QString& field, const QStringList& allowed, const QString& tag,
                 const QString& value, QString* error) {
    const QString v = value.trimmed().toUpper();
    if (!allowed.contains(v)) {
        *error = QStringLiteral("%1 takes one of %2, not %3")
                     .arg(tag, allowed.mid(1).join(QStringLiteral(", ")), value);
        return false;
    }
    field = v;
    return true;
}

} // namespace

const QStringList& SubmissionDetails::OperatorValues() {
    static const QStringList v = WithEmpty({"SINGLE-OP", "JUNIOR-OP", "MULTI-OP", "CHECKLOG"});
    return v;
}
const QStringList& SubmissionDetails::AssistedValues() {
    static const QStringList v = WithEmpty({"ASSISTED", "NON-ASSISTED"});
    return v;
}
const QStringList& SubmissionDetails::BandValues() {
    static const QStringList v = WithEmpty({"ALL", "160M", "80M", "40M", "20M", "15M", "10M"});
    return v;
}
const QStringList& SubmissionDetails::PowerValues() {
    static const QStringList v = WithEmpty({"HIGH", "LOW", "QRP"});
    return v;
}
const QStringList& SubmissionDetails::StationValues() {
    static const QStringList v = WithEmpty(
        {"FIXED", "MOBILE", "PORTABLE", "ROVER", "EXPEDITION", "HQ", "SCHOOL", "DISTRIBUTED"});
    return v;
}
const QStringList& SubmissionDetails::TransmitterValues() {
    static const QStringList v = WithEmpty({"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"});
    return v;
}

bool SubmissionDetails::MultiTransmitter() const {
    return categoryTransmitter == QLatin1String("TWO") ||
           categoryTransmitter == QLatin1String("LIMITED") ||
           categoryTransmitter == QLatin1String("UNLIMITED");
}

QStringList SubmissionDetails::Tags() {
    return {QStringLiteral("CATEGORY-OPERATOR"), QStringLiteral("CATEGORY-ASSISTED"),
            QStringLiteral("CATEGORY-BAND"),     QStringLiteral("CATEGORY-POWER"),
            QStringLiteral("CATEGORY-STATION"),  QStringLiteral("CATEGORY-TRANSMITTER"),
            QStringLiteral("OPERATORS"),         QStringLiteral("NAME"),
            QStringLiteral("ADDRESS"),           QStringLiteral("EMAIL"),
            QStringLiteral("CLUB"),              QStringLiteral("LOCATION"),
            QStringLiteral("SOAPBOX"),           QStringLiteral("PERIOD-START"),
            QStringLiteral("PERIOD-END")};
}

int SubmissionDetails::MinimumBreak() const {
    return minimumBreakMinutes > 0 ? minimumBreakMinutes : OffTime::kDefaultMinimumBreak;
}

QStringList SubmissionDetails::OffTimeTags() {
    return {QStringLiteral("MINIMUM-BREAK"), QStringLiteral("MAXIMUM-OPERATING-TIME")};
}

std::optional<int> SubmissionDetails::ParseMinutes(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})(?::(\\d{2}))?$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    if (m.captured(2).isEmpty())
        return m.captured(1).toInt();
    const int minutes = m.captured(2).toInt();
    if (minutes >= 60)
        return std::nullopt;
    return m.captured(1).toInt() * 60 + minutes;
}

QString SubmissionDetails::TextProblem(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return QStringLiteral("a header is one line: the text holds a line break");
        if (c.unicode() > 126)
            return QStringLiteral("log robots read ASCII only: \"%1\" is not ASCII").arg(c);
        if (c.unicode() < 32)
            return QStringLiteral("the text holds a control character (code %1)")
                .arg(c.unicode());
    }
    return {};
}

QString SubmissionDetails::FormatTime(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QDateTime SubmissionDetails::ParseTime(const QString& text) {
    QDateTime t = QDateTime::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!t.isValid())
        t = QDateTime::fromString(text.trimmed(), QStringLiteral("yyyy-MM-ddTHH:mm"));
    if (t.isValid())
        t.setTimeZone(QTimeZone::utc());
    return t;
}

bool SubmissionDetails::Set(const QString& tag, const QString& value, QString* error) {
    const QString t = tag.trimmed().toUpper();
    const QString problem = TextProblem(value);
    if (!problem.isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(t, problem);
        return false;
    }
    const QString v = value.trimmed();
    if (t == QLatin1String("CATEGORY-OPERATOR"))
        return SetCategory(categoryOperator, OperatorValues(), t, v, error);
    if (t == QLatin1String("CATEGORY-ASSISTED"))
        return SetCategory(categoryAssisted, AssistedValues(), t, v, error);
    if (t == QLatin1String("CATEGORY-BAND"))
        return SetCategory(categoryBand, BandValues(), t, v, error);
    if (t == QLatin1String("CATEGORY-POWER"))
        return SetCategory(categoryPower, PowerValues(), t, v, error);
    if (t == QLatin1String("CATEGORY-STATION"))
        return SetCategory(categoryStation, StationValues(), t, v, error);
    if (t == QLatin1String("CATEGORY-TRANSMITTER"))
        return SetCategory(categoryTransmitter, TransmitterValues(), t, v, error);
    if (t == QLatin1String("PERIOD-START") || t == QLatin1String("PERIOD-END")) {
        const QDateTime time = ParseTime(v);
        if (!v.isEmpty() && !time.isValid()) {
            *error = QStringLiteral("%1 needs yyyy-MM-dd HH:mm (UTC), not %2").arg(t, v);
            return false;
        }
        (t == QLatin1String("PERIOD-START") ? periodStart : periodEnd) = time;
        return true;
    }
    if (OffTimeTags().contains(t)) {
        const auto minutes = ParseMinutes(v);
        if (!v.isEmpty() && (!minutes || *minutes > 100000)) {
            *error = QStringLiteral("%1 needs minutes (90) or hours and minutes (1:30), not %2")
                         .arg(t, v);
            return false;
        }
        (t == QLatin1String("MINIMUM-BREAK") ? minimumBreakMinutes : maximumOperatingMinutes) =
            minutes.value_or(0);
        return true;
    }
    if (t == QLatin1String("ADDRESS")) {
        if (address.size() >= 6) {
            *error = QStringLiteral("ADDRESS takes at most six lines");
            return false;
        }
        address << v;
        return true;
    }
    if (t == QLatin1String("SOAPBOX")) {
        soapbox << v;
        return true;
    }
    QString* text = t == QLatin1String("OPERATORS") ? &operators
                    : t == QLatin1String("NAME")    ? &name
                    : t == QLatin1String("EMAIL")   ? &email
                    : t == QLatin1String("CLUB")    ? &club
                    : t == QLatin1String("LOCATION") ? &location
                                                     : nullptr;
    if (!text) {
        *error = QStringLiteral("%1 is no header qarvel writes (%2)")
                     .arg(tag, (Tags() + OffTimeTags()).join(QStringLiteral(", ")));
        return false;
    }
    *text = t == QLatin1String("OPERATORS") ? v.toUpper().simplified() : v;
    return true;
}

} // namespace qarvel
