// The rate window of one position on a shared PostgreSQL log: a QSO another
// position logs reaches it through the shared log, without a reading of the
// log, and no QSO is counted twice.

#include "contest/ContestSession.h"
#include "app/SharedLogSession.h"
#include "logbook/LogBook.h"
#include "logbook/SharedLogAddress.h"
#include "logbook/SharedLogCopy.h"
#include "windows/MainWindow.h"
#include "windows/QsoEntryLine.h"
#include "windows/RateWindow.h"

#include "PostgresServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <QUuid>
#include <gtest/gtest.h>

using namespace qarvel;
using zelmar::testing::PostgresServer;

namespace {

QsoRow Qso(const char* time, const char* call, const char* band, const char* position) {
    QsoRow r;
    r.date = QStringLiteral("2024-03-09");
    r.time = QLatin1String(time);
    r.call = QLatin1String(call);
    r.band = QLatin1String(band);
    r.mode = QStringLiteral("CW");
    r.sent = QStringLiteral("599 BU");
    r.received = QStringLiteral("599 001");
    r.position = QLatin1String(position);
    r.qsoId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return r;
}

bool WaitFor(const std::function<bool()>& done, int seconds) {
    for (int i = 0; i < seconds * 50 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return done();
}

} // namespace

TEST(RateWindowShared, AnotherPositionsQsoReachesTheRateWindow) {
    PostgresServer& server = PostgresServer::Shared();
    if (!server.Running())
        GTEST_SKIP() << server.Failure().toStdString();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", config.path().toLocal8Bit());
    QString error;
    const QString database = server.CreateDatabase(&error);
    ASSERT_FALSE(database.isEmpty()) << error.toStdString();
    const QString url = server.SocketUrl(database);
    const QString here = QStringLiteral("rate-run1"), there = QStringLiteral("rate-run2");
    // RUN1 works on its copy, as a window does; RUN2 writes to the server.
    ASSERT_TRUE(SharedLogCopy::Open(SharedLogAddress(url, QStringLiteral("Log")).CopyPath(), here,
                                    QStringLiteral("Log"), &error))
        << error.toStdString();
    ASSERT_TRUE(LogBook::Open(url, there, QStringLiteral("Log"), &error)) << error.toStdString();
    {
        LogBook run1(here, QStringLiteral("Log"));
        LogBook run2(there, QStringLiteral("Log"));

        ContestSession session; // no module: the rate needs none
        StationSettings station;
        station.call = QStringLiteral("YO3ZZZ");
        MainWindow window(session, nullptr, run1, station, QStringLiteral("test"));
        // As the windowed run follows a shared log.
        SharedLogSession shared(url, QStringLiteral("Log"), run1, session, window);
        ASSERT_TRUE(shared.Start(&error)) << error.toStdString();
        // Written through the session, as the entry line writes: kept for the
        // server until it has it.
        ASSERT_TRUE(run1.Append(Qso("12:00:00", "DL1AAA", "14", "RUN1"), &error));

        RateWindow* rate = window.Rate();
        rate->SetClock([] {
            return QDateTime(QDate(2024, 3, 9), QTime(12, 30), QTimeZone::utc()).toSecsSinceEpoch();
        });
        rate->show();
        ASSERT_EQ(rate->Figures().qsos, 1);

        // RUN2 logs two QSOs on 7 MHz.
        ASSERT_TRUE(run2.Append(Qso("12:10:00", "DL1BBB", "7", "RUN2"), &error));
        ASSERT_TRUE(run2.Append(Qso("12:20:00", "DL1CCC", "7", "RUN2"), &error));
        ASSERT_TRUE(WaitFor([&] { return rate->Figures().qsos == 3; }, 15))
            << "QSOs counted: " << rate->Figures().qsos;
        EXPECT_EQ(rate->findChild<QLabel*>(QStringLiteral("RateThisHour"))->text(),
                  QStringLiteral("3 QSOs"));
        EXPECT_EQ(rate->findChild<QLabel*>(QStringLiteral("RateBands"))->text(),
                  QStringLiteral("7: 2, 14: 1"));
        // 20 minutes for two gaps: 6 an hour.
        EXPECT_EQ(rate->findChild<QLabel*>(QStringLiteral("RateLast10"))->text(),
                  QStringLiteral("6 /h"));

        // This position's own QSO comes through the entry line once, though
        // the shared log sees it go into the log too.
        const QsoRow own = Qso("12:25:00", "DL1DDD", "14", "RUN1");
        qint64 id = 0;
        ASSERT_TRUE(run1.Append(own, &error, &id));
        emit window.EntryLine()->Logged(own, 2, id);
        emit window.EntryLine()->Logged(own, 2, id);
        WaitFor([] { return false; }, 1);
        EXPECT_EQ(rate->Figures().qsos, 4);

        // A correction anywhere has the window read the log again, with the
        // same result.
        rate->Reload();
        EXPECT_EQ(rate->Figures().qsos, 4);
        EXPECT_EQ(rate->Figures().thisHour, 4);
    }
    QSqlDatabase::database(here, false).close();
    QSqlDatabase::database(there, false).close();
    QSqlDatabase::removeDatabase(here);
    QSqlDatabase::removeDatabase(there);
}
