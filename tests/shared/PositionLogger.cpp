// position-logger URL POSITION FIRST STEP LAST TOTAL: one operating position
// on the shared log URL, as qarvel's window runs one without the window: the
// contest module follows the log, and the QSOs numbered FIRST, FIRST+STEP,
// ... up to LAST are logged through the entry line's append, one every
// 10 ms. Prints "pids <writer> <listener>" once connected and "logged N"
// after each append; once the log holds TOTAL rows and nothing waits in the
// outbox, and a second has passed without a change, prints
// "score <score line>" and exits.
#include "contest/ContestSession.h"
#include "contest/LiveScoring.h"
#include "logbook/LiveLog.h"
#include "logbook/LogBook.h"
#include "logbook/Outbox.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTimer>
#include <QUuid>
#include <QVariant>
#include <cstdio>
#include <unistd.h>

using namespace qarvel;

namespace {

void Say(const QByteArray& line) {
    const QByteArray text = line + '\n';
    if (::write(STDOUT_FILENO, text.constData(), static_cast<size_t>(text.size())) != text.size())
        std::_Exit(3);
}

int BackendPid(const QSqlDatabase& db) {
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT pg_backend_pid()")) && q.next() ? q.value(0).toInt() : 0;
}

// QSO number n: calls repeat across positions and bands, so that some are
// duplicates of another position's QSO and multipliers are shared.
QsoRow Qso(int n, const QString& position) {
    static const char* bands[] = {"3.5", "7", "14"};
    static const char* counties[] = {"AB", "BU", "CJ", "IS", "TM"};
    QsoRow q;
    const QDateTime at = QDateTime(QDate(2024, 3, 9), QTime(12, 0)).addSecs(n);
    q.date = at.date().toString(QStringLiteral("yyyy-MM-dd"));
    q.time = at.time().toString(QStringLiteral("HH:mm:ss"));
    const bool home = n % 3 == 0;
    q.call = home ? QStringLiteral("YO%1A%2").arg(n % 9 + 2).arg(QChar('A' + n % 17))
                  : QStringLiteral("DL%1Z%2").arg(n % 7 + 1).arg(QChar('A' + n % 23));
    q.band = QLatin1String(bands[n % 3]);
    q.mode = QStringLiteral("CW");
    q.sent = QStringLiteral("599 BU");
    q.received = home ? QStringLiteral("599 %1").arg(QLatin1String(counties[n % 5]))
                      : QStringLiteral("599 %1").arg(n % 40 + 1);
    q.dxccPrefix = home ? QStringLiteral("YO") : QStringLiteral("DL");
    q.mainPrefix = q.dxccPrefix;
    q.continent = QStringLiteral("EU");
    q.position = position;
    // Made from the number: a QSO logged again after a kill between its
    // append and its report keeps the id it went into the outbox with.
    q.qsoId = QUuid::createUuidV5(QUuid(), QString::number(n)).toString(QUuid::WithoutBraces);
    return q;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 7)
        return 2;
    const QString url = QString::fromLocal8Bit(argv[1]);
    const QString position = QString::fromLocal8Bit(argv[2]);
    const int first = atoi(argv[3]), step = atoi(argv[4]), last = atoi(argv[5]);
    const int total = atoi(argv[6]);
    const QString connection = ContestSession::ConnectionName();
    QString error;
    if (!LogBook::Open(url, connection, QStringLiteral("Log"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    int rc = 0;
    {
        LogBook log(connection, QStringLiteral("Log"));
        Outbox outbox(Outbox::PathFor(url, QStringLiteral("Log")));
        log.SetOutbox(&outbox);
        ContestSession session;
        if (!session.Load(QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"),
                          &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        StationSettings station;
        station.call = QStringLiteral("YO3ZZZ");
        session.SetStation(station, QStringLiteral("Log"));
        LiveLog live(log);
        if (!live.Start(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        LiveScoring scoring(live, session);
        scoring.Start();
        QSqlDatabase listener;
        for (const QString& name : QSqlDatabase::connectionNames())
            if (name.contains(QStringLiteral("-live-")))
                listener = QSqlDatabase::database(name, false);
        Say(QStringLiteral("pids %1 %2")
                .arg(BackendPid(log.Database()))
                .arg(BackendPid(listener))
                .toLatin1());

        QElapsedTimer quiet;
        quiet.start();
        QObject::connect(&scoring, &LiveScoring::FiguresChanged, [&] { quiet.restart(); });
        int next = first;
        QTimer tick;
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (live.Recounting())
                return;
            if (next <= last) {
                const QsoRow q = Qso(next, position);
                QString why;
                if (!log.Append(q, &why)) {
                    std::fprintf(stderr, "%s\n", qPrintable(why));
                    QCoreApplication::exit(1);
                    return;
                }
                session.Add(q);
                quiet.restart();
                Say("logged " + QByteArray::number(next));
                next += step;
                return;
            }
            if (live.Online() && live.Waiting() == 0 && quiet.elapsed() > 1000 &&
                log.Count() == total) {
                Say("score " + session.ScoreLineText().toUtf8());
                QCoreApplication::exit(0);
            }
        });
        tick.start();
        rc = QApplication::exec();
        session.Shutdown();
    }
    QSqlDatabase::database(connection, false).close();
    QSqlDatabase::removeDatabase(connection);
    return rc;
}
