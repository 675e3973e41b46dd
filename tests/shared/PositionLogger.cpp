// position-logger URL POSITION FIRST STEP LAST TOTAL: one operating position
// on the shared log URL, as qarvel's window runs one without the window: it
// works on its copy of the log, the contest module follows it, and the QSOs
// numbered FIRST, FIRST+STEP, ... up to LAST are logged through the entry
// line's logger (which holds a QSO while the module replays), one every
// 10 ms. Prints "pids <worker> <listener>" at every connect and "logged N"
// once a QSO is written; once the copy holds TOTAL rows and nothing waits
// for the server, and a second has passed without a change, prints
// "score <score line>" and exits.
#include "contest/ContestSession.h"
#include "ui/ErrorReporter.h"
#include "contest/EntryLogger.h"
#include "contest/LiveScoring.h"
#include "logbook/LogBook.h"
#include "logbook/SharedLog.h"
#include "logbook/SharedLogAddress.h"
#include "logbook/SharedLogCopy.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
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
    zelmar::SetErrorReporter([](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    if (argc != 7)
        return 2;
    const QString url = QString::fromLocal8Bit(argv[1]);
    const QString position = QString::fromLocal8Bit(argv[2]);
    const int first = atoi(argv[3]), step = atoi(argv[4]), last = atoi(argv[5]);
    const int total = atoi(argv[6]);
    const QString connection = ContestSession::ConnectionName();
    const QString table = QStringLiteral("Log");
    const QString copyPath = SharedLogAddress(url, table).CopyPath();
    QString error;
    if (!SharedLogCopy::Open(copyPath, connection, table, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    int rc = 0;
    {
        LogBook log(connection, table);
        const SharedLogCopy copy(connection, table);
        SharedLog shared(url, table, copyPath);
        log.SetSharedCopy(&copy);
        log.SetWritten([&shared] { shared.Kick(); });
        ContestSession session;
        if (!session.Load(QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"),
                          &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        StationSettings station;
        station.call = QStringLiteral("YO3ZZZ");
        session.SetStation(station, table);
        QObject::connect(&shared, &SharedLog::Connected, [](int work, int listen) {
            Say(QStringLiteral("pids %1 %2").arg(work).arg(listen).toLatin1());
        });
        QObject::connect(&shared, &SharedLog::Warning,
                         [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
        LiveScoring scoring(shared, session, log);
        shared.Start();
        scoring.Start();

        QElapsedTimer quiet;
        quiet.start();
        QObject::connect(&scoring, &LiveScoring::FiguresChanged, [&] { quiet.restart(); });
        EntryLogger logger(log, session);
        QHash<QString, int> numbers;
        QObject::connect(&logger, &EntryLogger::Logged, [&](const QsoRow& q, int, qint64) {
            quiet.restart();
            Say("logged " + QByteArray::number(numbers.value(q.qsoId)));
        });
        QObject::connect(&logger, &EntryLogger::Failed, [](const QsoRow&, const QString& why) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            QCoreApplication::exit(1);
        });
        int next = first;
        QTimer tick;
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (next <= last) {
                const QsoRow q = Qso(next, position);
                numbers.insert(q.qsoId, next);
                QString why;
                if (logger.Log(q, &why) == EntryLogger::Outcome::Failed) {
                    std::fprintf(stderr, "%s\n", qPrintable(why));
                    QCoreApplication::exit(1);
                    return;
                }
                next += step;
                return;
            }
            // Read between replays: in the middle of one (this tick may run
            // inside its message pump) the figures are half counted.
            if (shared.Settled() && logger.HeldCount() == 0 && !session.Replaying() &&
                quiet.elapsed() > 1000 && log.Count() == total) {
                Say("score " + session.ScoreLineText().toUtf8());
                QCoreApplication::exit(0);
            }
        });
        tick.start();
        rc = QApplication::exec();
        session.Shutdown();
        log.SetWritten({});
    }
    QSqlDatabase::database(connection, false).close();
    QSqlDatabase::removeDatabase(connection);
    return rc;
}
