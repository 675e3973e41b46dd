// serial-position URL POSITION COUNT: one position on the shared log URL
// logging COUNT QSOs as fast as its serial numbers come, each sending the
// number SharedSerialNumbers hands it, as the entry line does. Prints
// "held N N ..." (the numbers it still holds) and exits 0; 1 on an error.
#include "keyer/SerialText.h"
#include "logbook/LogBook.h"
#include "logbook/SharedSerialNumbers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QUuid>
#include <cstdio>

using namespace qarvel;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QString url = QString::fromLocal8Bit(argv[1]);
    const QString position = QString::fromLocal8Bit(argv[2]);
    const int count = atoi(argv[3]);
    const QString connection = QStringLiteral("serial-position");
    QString error;
    if (!LogBook::Open(url, connection, QStringLiteral("Log"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    LogBook log(connection, QStringLiteral("Log"));
    SharedSerialNumbers serials(url, QStringLiteral("Log"), position);
    for (int i = 0; i < count; ++i) {
        QDeadlineTimer deadline(20000);
        while (!serials.Next() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!serials.Next()) {
            std::fprintf(stderr, "no serial number within 20 s\n");
            return 1;
        }
        const int n = *serials.Next();
        QsoRow q;
        q.date = QStringLiteral("2024-03-09");
        q.time = QStringLiteral("12:00:00");
        q.call = QStringLiteral("DL%1ABC").arg(i % 10);
        q.band = QStringLiteral("14");
        q.mode = QStringLiteral("CW");
        q.sent = QStringLiteral("599 ") + StoredSerial(n);
        q.received = QStringLiteral("599 %1").arg(i + 1);
        q.position = position;
        if (!log.Append(q, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        serials.Used(n);
        QCoreApplication::processEvents();
    }
    QByteArray held = "held";
    for (int n : serials.Held())
        held += ' ' + QByteArray::number(n);
    std::printf("%s\n", held.constData());
    return 0;
}
