// Another position's inserts, edits and deletes on a shared PostgreSQL log
// reach this position's log view row by row, through the log table's
// announcements: the operator's selection stays, the view is never reset.
#include "logbook/LiveLog.h"
#include "logbook/LogBook.h"
#include "windows/LogTableModel.h"
#include "windows/LogViewFollower.h"
#include "PostgresServer.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QTableView>
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
    for (const char* name : {"view-here", "view-there"})
        ASSERT_TRUE(LogBook::Open(server.SocketUrl(database), QLatin1String(name),
                                  QStringLiteral("Log"), &error))
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
        ASSERT_TRUE(here.Append(qso(call, "RUN1"), &error)) << error.toStdString();
    {
        LogTableModel model(here);
        ASSERT_TRUE(model.Reload(&error)) << error.toStdString();
        QTableView view;
        view.setModel(&model);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.selectRow(2);
        const QString selected = model.EntryAt(2).row.qsoId;
        LiveLog live(here);
        ASSERT_TRUE(live.Start(&error)) << error.toStdString();
        LogViewFollower follower(here, model, &view);
        QObject::connect(&live, &LiveLog::Announced, &follower, &LogViewFollower::Apply);
        QSignalSpy resets(&model, &QAbstractItemModel::modelAboutToBeReset);

        qint64 id = 0;
        ASSERT_TRUE(there.Append(qso("JA1XYZ", "RUN2"), &error, &id)) << error.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 5; }, 5000));
        EXPECT_EQ(model.EntryAt(4).id, id);
        EXPECT_EQ(model.EntryAt(4).row.position, "RUN2");

        QsoRow moved = model.EntryAt(3).row;
        moved.band = QStringLiteral("7");
        ASSERT_TRUE(there.Update(model.EntryAt(3).id, moved, &error)) << error.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model.EntryAt(3).row.band == "7"; }, 5000));

        ASSERT_TRUE(there.Remove(model.EntryAt(0).id, &error)) << error.toStdString();
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
