#include "app/StationOfLog.h"

#include "logbook/LogBook.h"
#include "logbook/StationStore.h"

namespace qarvel {

namespace {

QString Described(const StationSettings& s) {
    QString text = QStringLiteral("%1 (%2, %3").arg(s.call, s.dxccPrefix, s.continent);
    if (!s.sentExchange.isEmpty())
        text += QStringLiteral(", sending \"%1\"").arg(s.sentExchange);
    return text + QLatin1Char(')');
}

} // namespace

StationOfLog::StationOfLog(const CommandLine& options, const StationSettings& settings,
                           const CountryFile* countries)
    : options_(options), settings_(settings), countries_(countries) {}

bool StationOfLog::Keep(LogBook& log, const StationSettings& station, QString* error) {
    return StationStore(log.Database(), log.Table()).Save(station, error);
}

StationOfLog::Outcome StationOfLog::Decide(LogBook& log, bool mayStore, QString* note,
                                           QString* error) {
    note->clear();
    const StationSettings given = options_.Station(settings_, countries_);
    StationSettings kept = given;
    const StationStore::Read read = StationStore(log.Database(), log.Table()).Load(kept, error);
    if (read == StationStore::Read::Failed)
        return Outcome::Failed;

    if (read == StationStore::Read::Found) {
        const bool otherCall = !options_.call.isEmpty() && options_.call != kept.call;
        if (!options_.restation) {
            if (otherCall) {
                *error = QStringLiteral("The log is %1's; it is not scored or sent in as %2. "
                                        "To make %2 the log's station, give --restation too.")
                             .arg(kept.call, options_.call);
                return Outcome::Refused;
            }
            // --my-dxcc and --my-continent still hold for this run.
            if (!options_.myDxcc.isEmpty())
                kept.dxccPrefix = options_.myDxcc;
            if (!options_.myContinent.isEmpty())
                kept.continent = options_.myContinent;
            station_ = kept;
            return Outcome::Ok;
        }
        station_ = given;
        if (!Keep(log, station_, error))
            return Outcome::Failed;
        *note = QStringLiteral("The log's station is now %1, no longer %2; it is scored as %3.")
                    .arg(Described(station_), Described(kept), station_.call);
        return Outcome::Ok;
    }

    station_ = given;
    if (!station_.IsSet())
        return Outcome::Ok; // asked for by the window, or refused where a call is needed
    const bool older = log.Count() > 0;
    if (!mayStore) {
        if (older)
            *note = QStringLiteral("The log keeps no station of its own (an older qarvel made "
                                   "it); read as %1 from the settings, without storing it.")
                        .arg(Described(station_));
        return Outcome::Ok;
    }
    if (!Keep(log, station_, error))
        return Outcome::Failed;
    if (older)
        *note = QStringLiteral("The log kept no station of its own (an older qarvel made it); "
                               "it now keeps %1, from the settings.")
                    .arg(Described(station_));
    return Outcome::Ok;
}

} // namespace qarvel
