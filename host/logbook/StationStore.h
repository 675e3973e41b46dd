#pragma once

#include "app/StationSettings.h"

#include <QSqlDatabase>
#include <QString>

namespace qarvel {

// The station a log is made by, kept in the log database itself beside the
// log table (as the submission details are): the call, the DXCC prefix,
// the continent and what is sent after the report. A log is then scored and
// sent in as its own station whatever the settings hold today, and every
// position of a shared log uses the same. The table is qarvel's own and
// made on the first save.
class StationStore {
public:
    static constexpr const char* kTable = "QarvelStation";

    enum class Read { Found, None, Failed };

    StationStore(QSqlDatabase db, QString logTable);

    // Found: the log's call, prefix, continent and sent exchange are put
    // into `station`, the rest of it is left as it was. None: the log keeps
    // no station (a new log, or one made by an older qarvel). Failed: the
    // database cannot be read, said in `error`.
    Read Load(StationSettings& station, QString* error) const;
    // Replaces the log's station by that of `station`, in one statement.
    bool Save(const StationSettings& station, QString* error);

private:
    QSqlDatabase db_;
    QString key_;
};

} // namespace qarvel
