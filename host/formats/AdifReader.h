#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <vector>

namespace qarvel {

// Where a record of an ADIF file starts: its number among the file's
// records (1 for the first after the header) and the line of its first tag.
struct AdifPosition {
    int record = 0;
    int line = 0;
    QString Describe() const;
};

// A record whose fields could all be read. Field names are upper case.
struct AdifRecord {
    AdifPosition position;
    QMap<QString, QString> fields;
    QString Field(const QString& name) const { return fields.value(name).trimmed(); }
};

// A record that was skipped, and why.
struct AdifProblem {
    AdifPosition position;
    QString reason;
    QString Describe() const;
};

struct AdifContents {
    std::vector<AdifRecord> records;
    std::vector<AdifProblem> problems;
};

// Reads the records of an .adi file: an optional header ended by <EOH>,
// then fields <NAME:LENGTH[:TYPE]>DATA, each record ended by <EOR>. A record
// with a field that cannot be read (a length that is no number, data that
// runs past the end of the file, a tag that is never closed) or that the
// file ends inside is reported as a problem and not returned; the records
// around it are read as usual.
AdifContents ReadAdif(const QByteArray& data);

} // namespace qarvel
