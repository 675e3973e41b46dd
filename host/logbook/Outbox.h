#pragma once

#include "logbook/QsoRow.h"

#include <QString>
#include <vector>

namespace qarvel {

// The QSOs a position logged while its shared log's server could not be
// reached: an SQLite file of its own in qarvel's data folder, one per log,
// kept on the disk with full syncs so that a position killed while offline
// still has them at its next start. Each QSO is kept once, by its id.
class Outbox {
public:
    // Opens (or creates) the outbox file at `path`.
    explicit Outbox(const QString& path);
    ~Outbox();
    Outbox(const Outbox&) = delete;
    Outbox& operator=(const Outbox&) = delete;

    // The outbox of the log `location`, table `table`, in qarvel's data
    // folder; the name does not show a password.
    static QString PathFor(const QString& location, const QString& table);

    bool IsOpen() const { return error_.isEmpty(); }
    const QString& Error() const { return error_; }
    const QString& Path() const { return path_; }

    // Keeps the rows (which carry their ids), in one transaction.
    bool Put(const std::vector<QsoRow>& rows, QString* error);
    // What waits, oldest first.
    std::vector<QsoRow> Rows() const;
    // Forgets rows that have reached the log.
    bool Remove(const std::vector<QsoRow>& rows, QString* error);
    int Count() const;

private:
    QString path_;
    QString connection_;
    QString error_;
};

} // namespace qarvel
