#pragma once

#include <QObject>
#include <QString>

namespace qarvel {

// Reserves blocks of serial numbers on a shared log's server, in a worker
// thread with a connection of its own: the window never waits on it. The
// counter is one row per log table in QarvelSerial, raised in one
// statement, so two positions never get the same number. Every wait is
// bounded (connect_timeout, statement_timeout).
class SerialBlockFetcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kStatementTimeoutMs = 5000;

    SerialBlockFetcher(QString location, QString table);
    ~SerialBlockFetcher() override;

public slots:
    void Reserve(int count);

signals:
    void Reserved(int first, int last);
    void Failed(const QString& why);

private:
    bool Open(QString* error);
    void Close();

    QString location_;
    QString table_;
    QString connection_;
};

} // namespace qarvel
