// qarvel-demo-log FILE [COUNT]: writes a demo contest log into an SQLite
// file (the table Log), for `make run` and for trying qarvel out.
#include "app/DemoLog.h"
#include "logbook/LogBook.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>
#include <exception>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        err << "usage: qarvel-demo-log FILE [COUNT]" << Qt::endl;
        return 2;
    }
    const int count = args.size() == 3 ? args[2].toInt() : 400;
    if (count <= 0) {
        err << "qarvel-demo-log: COUNT must be a positive number" << Qt::endl;
        return 2;
    }
    const QString connection = QStringLiteral("qarvel-demo");
    int rc = 0;
    {
        QString error;
        if (!qarvel::LogBook::Open(args[1], connection, QStringLiteral("Log"), &error)) {
            err << "qarvel-demo-log: " << error << Qt::endl;
            return 1;
        }
        try {
            qarvel::LogBook log(connection, QStringLiteral("Log"));
            const QDateTime start(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC);
            if (!log.AppendAll(qarvel::MakeDemoLog(static_cast<std::size_t>(count), start), {},
                               &error)) {
                err << "qarvel-demo-log: " << error << Qt::endl;
                rc = 1;
            }
        } catch (const std::exception& e) {
            err << "qarvel-demo-log: " << e.what() << Qt::endl;
            rc = 1;
        }
        QSqlDatabase::database(connection, false).close();
    }
    QSqlDatabase::removeDatabase(connection);
    return rc;
}
