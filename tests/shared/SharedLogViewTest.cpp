// Another position's inserts, edits and deletes on a shared PostgreSQL log
// reach this position's log view row by row, through its copy of the log:
// the operator's selection stays, the view is never reset.
#include "logbook/LogBook.h"
#include "logbook/SharedLog.h"
#include "logbook/SharedLogCopy.h"
#include "logbook/StationStore.h"
#include "logbook/SubmissionStore.h"
#include "windows/LogTableModel.h"
#include "windows/LogViewFollower.h"
#include "PostgresServer.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using zelmar::testing::PostgresServer;
using namespace qarvel;

TEST(SharedLogView, AnotherPositionsChangesReachTheViewRowByRow) {
    PostgresServer& server = PostgresServer::Shared();
    ASSERT_TRUE(server.Running()) << server.Failure().toStdString();
    QString error;
    const QString database = server.CreateDatabase(&error);
    ASSERT_FALSE(database.isEmpty()) << error.toStdString();
    // Here is a position's copy, as its window has it; there writes to the
    // server, as another position's worker does.
    QTemporaryDir dir;
    const QString url = server.SocketUrl(database);
    const QString copyPath = dir.filePath(QStringLiteral("copy.sqlite"));
    ASSERT_TRUE(SharedLogCopy::Open(copyPath, QStringLiteral("view-here"), QStringLiteral("Log"),
                                    &error))
        << error.toStdString();
    ASSERT_TRUE(LogBook::Open(url, QStringLiteral("view-there"), QStringLiteral("Log"), &error))
        << error.toStdString();
    LogBook here(QStringLiteral("view-here"), QStringLiteral("Log"));
    LogBook there(QStringLiteral("view-there"), QStringLiteral("Log"));
    const auto qso = [](const char* call, const char* position) {
        QsoRow r;
        r.date = QStringLiteral("2024-03-09");
        r.time = QStringLiteral("12:00:00");
        r.call = QLatin1String(call);
        r.band = QStringLiteral("14");
        r.mode = QStringLiteral("CW");
        r.position = QLatin1String(position);
        return r;
    };
    for (const char* call : {"DL1ABC", "W1AW", "F5ABC", "G4ABC"})
        ASSERT_TRUE(there.Append(qso(call, "RUN1"), &error)) << error.toStdString();
    {
        LogTableModel model(here);
        ASSERT_TRUE(model.Reload(&error)) << error.toStdString();
        QTableView view;
        view.setModel(&model);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        LogViewFollower follower(here, model, &view);
        SharedLog shared(url, QStringLiteral("Log"), copyPath);
        follower.Follow(shared);
        shared.Start();
        // The copy is made equal to the server's table at the connect.
        ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 4; }, 10000));
        view.selectRow(2);
        const QString selected = model.EntryAt(2).row.qsoId;
        QSignalSpy resets(&model, &QAbstractItemModel::modelAboutToBeReset);

        ASSERT_TRUE(there.Append(qso("JA1XYZ", "RUN2"), &error)) << error.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 5; }, 5000));
        EXPECT_EQ(model.EntryAt(4).row.call, "JA1XYZ");
        EXPECT_EQ(model.EntryAt(4).row.position, "RUN2");

        // The server's ids are not the copy's: the other position changes
        // its own rows by the server's.
        const auto serverId = [&](const QString& qsoId) -> qint64 {
            const auto entries = there.ReadEntries(&error);
            for (const LogEntry& e : entries.value_or(std::vector<LogEntry>{}))
                if (e.row.qsoId == qsoId)
                    return e.id;
            return 0;
        };
        QsoRow moved = model.EntryAt(3).row;
        moved.band = QStringLiteral("7");
        ASSERT_TRUE(there.Update(serverId(moved.qsoId), moved, &error)) << error.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model.EntryAt(3).row.band == "7"; }, 5000));

        ASSERT_TRUE(there.Remove(serverId(model.EntryAt(0).row.qsoId), &error))
            << error.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 4; }, 5000));
        EXPECT_EQ(model.EntryAt(0).row.call, "W1AW");

        ASSERT_GE(view.currentIndex().row(), 0);
        EXPECT_EQ(model.EntryAt(view.currentIndex().row()).row.qsoId, selected);
        EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1);
        EXPECT_EQ(resets.count(), 0);
    }
    for (const char* name : {"view-here", "view-there"}) {
        QSqlDatabase::database(QLatin1String(name), false).close();
        QSqlDatabase::removeDatabase(QLatin1String(name));
    }
}

// The log's station and submission details are the shared log's: a position
// whose copy says otherwise takes the server's at its connect, and what it
// changes itself goes to the server for the others.
TEST(SharedLogView, EveryPositionWorksAsTheLogsStation) {
    PostgresServer& server = PostgresServer::Shared();
    ASSERT_TRUE(server.Running()) << server.Failure().toStdString();
    QString error;
    const QString database = server.CreateDatabase(&error);
    ASSERT_FALSE(database.isEmpty()) << error.toStdString();
    QTemporaryDir dir;
    const QString url = server.SocketUrl(database);
    const QString copyPath = dir.filePath(QStringLiteral("copy.sqlite"));
    const QString here = QStringLiteral("side-here"), there = QStringLiteral("side-there");
    ASSERT_TRUE(SharedLogCopy::Open(copyPath, here, QStringLiteral("Log"), &error))
        << error.toStdString();
    ASSERT_TRUE(LogBook::Open(url, there, QStringLiteral("Log"), &error)) << error.toStdString();
    const auto station = [](const char* call, const char* prefix, const char* sent) {
        StationSettings s;
        s.call = QLatin1String(call);
        s.dxccPrefix = QLatin1String(prefix);
        s.continent = QStringLiteral("EU");
        s.sentExchange = QLatin1String(sent);
        return s;
    };
    const auto stationOf = [](const QString& connection) {
        StationSettings s;
        QString error;
        StationStore(QSqlDatabase::database(connection), QStringLiteral("Log")).Load(s, &error);
        return s.call + QLatin1Char(' ') + s.sentExchange;
    };
    {
        StationStore serverStation(QSqlDatabase::database(there), QStringLiteral("Log"));
        ASSERT_TRUE(serverStation.Save(station("YO3ZZZ", "YO", "BU"), &error))
            << error.toStdString();
        // This position was started with other settings, and has details
        // the server does not have yet.
        StationStore copyStation(QSqlDatabase::database(here), QStringLiteral("Log"));
        ASSERT_TRUE(copyStation.Save(station("DL1ABC", "DL", ""), &error)) << error.toStdString();
        SubmissionDetails details;
        details.categoryPower = QStringLiteral("LOW");
        ASSERT_TRUE(SubmissionStore(QSqlDatabase::database(here), QStringLiteral("Log"))
                        .Save(details, &error))
            << error.toStdString();

        SharedLog shared(url, QStringLiteral("Log"), copyPath);
        QSignalSpy taken(&shared, &SharedLog::SideChanged);
        shared.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return taken.count() > 0; }, 10000));
        EXPECT_EQ(stationOf(here), "YO3ZZZ BU");
        const auto onServer =
            SubmissionStore(QSqlDatabase::database(there), QStringLiteral("Log")).Load(&error);
        ASSERT_TRUE(onServer.has_value()) << error.toStdString();
        EXPECT_EQ(onServer->categoryPower, "LOW");

        // A change made here (Station > Settings) reaches the server.
        ASSERT_TRUE(copyStation.Save(station("YO3ZZZ", "YO", "IF"), &error))
            << error.toStdString();
        shared.PublishSide();
        EXPECT_TRUE(QTest::qWaitFor([&] { return stationOf(there) == "YO3ZZZ IF"; }, 10000))
            << stationOf(there).toStdString();
        EXPECT_EQ(taken.count(), 1);
    }
    for (const QString& name : {here, there}) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}
