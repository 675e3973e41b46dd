// The log database failing under the statistics window: its table dropped,
// its file removed or locked by another writer, its server stopped while a
// replay reads it. Each time the operator sees the database's own text, the
// window keeps counting, "Recalc" works again once the log is back, and the
// module never writes to the host's log.
#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"
#include "ModuleHarness.h"
#include "PostgresServer.h"

#include <QSqlError>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

const std::vector<LogRow> kRows = {
    {"YO5ZAA", "14", "CW", "EU", "599AB", "YO", "YO5"},
    {"DL1ABC", "7", "SSB", "EU", "59001", "DL", "DL"},
    {"K1ABC", "21", "CW", "NA", "599005", "K", "K1"},
    {"F5XYZ", "28", "CW", "EU", "599", "F", "F"},
};

const RecordBuilder kNewQSO =
    RecordBuilder().Call("JA1XYZ").Band("14").Mode("CW").Continent("AS").Prefix("JA");

class DatabaseFault : public ModuleHarness {
protected:
    void SetUp() override {
        ModuleHarness::SetUp();
        log_->Insert(kRows);
        ASSERT_NE(Run(), 0u);
        ASSERT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
        ASSERT_EQ(TotalQSOs(), QStringLiteral("4"));
    }

    // After a failed replay: the error is shown, the window is still there
    // and counting, and "Recalc" can be pressed again.
    void ExpectFailedRecalc(qsizetype boxesBefore, const QString& expectedText) {
        Click("RzBitBtn1");
        const QString shown = BoxesSince(boxesBefore);
        EXPECT_TRUE(shown.contains(expectedText, Qt::CaseInsensitive))
            << "shown: " << shown.toStdString();
        ASSERT_NE(Window(), nullptr);
        EXPECT_TRUE(Window()->isVisible());
        EXPECT_GT(module_->GetScore(kNewQSO.Ptr()), 0);
        auto* recalc = Window()->findChild<QPushButton*>(QStringLiteral("RzBitBtn1"));
        ASSERT_NE(recalc, nullptr);
        EXPECT_TRUE(recalc->isEnabled());
    }

    // Once the log is back: a clean replay of all its rows.
    void ExpectRecalcWorks(std::size_t rows) {
        const qsizetype before = BoxCount();
        Click("RzBitBtn1");
        EXPECT_EQ(BoxesSince(before), QString());
        EXPECT_EQ(TotalQSOs(), QString::number(rows));
        EXPECT_EQ(module_->AddQSO(kNewQSO.Ptr()), 4);
        EXPECT_EQ(TotalQSOs(), QString::number(rows + 1));
    }
};

TEST_F(DatabaseFault, TableDroppedThenRecreated) {
    QSqlQuery q(log_->Db());
    ASSERT_TRUE(q.exec(QStringLiteral("DROP TABLE Log"))) << q.lastError().text().toStdString();
    const QByteArray dropped = FileBytes(log_->Path());

    ExpectFailedRecalc(BoxCount(), QStringLiteral("no such table"));
    EXPECT_EQ(FileBytes(log_->Path()), dropped);

    QString error;
    QSqlDatabase db = log_->Db();
    ASSERT_TRUE(qarvel::EnsureLogTable(db, QStringLiteral("Log"), &error)) << error.toStdString();
    log_->Insert(kRows);
    const QByteArray restored = FileBytes(log_->Path());
    ExpectRecalcWorks(kRows.size());
    EXPECT_EQ(FileBytes(log_->Path()), restored);
}

TEST_F(DatabaseFault, TableLosesAColumnTheReplayReads) {
    QSqlQuery q(log_->Db());
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE Log RENAME COLUMN DigiBand TO Band")));
    ExpectFailedRecalc(BoxCount(), QStringLiteral("DigiBand"));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE Log RENAME COLUMN Band TO DigiBand")));
    ExpectRecalcWorks(kRows.size());
}

TEST_F(DatabaseFault, FileRemovedAndConnectionLostThenBack) {
    const QString path = log_->Path();
    const QByteArray saved = FileBytes(path);
    ASSERT_TRUE(QFile::remove(path));

    // The open connection still reads the removed file; the module must not
    // bring the file back.
    ExpectRecalcWorks(kRows.size());
    EXPECT_FALSE(QFile::exists(path)) << "the module created the host's log file";

    // The host loses its connection: the next replay fails with a text.
    log_->Db().close();
    ExpectFailedRecalc(BoxCount(), QStringLiteral("not open"));
    EXPECT_FALSE(QFile::exists(path));

    // The file is put back and the host opens its log again.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(saved), saved.size());
    }
    QSqlDatabase db = log_->Db();
    ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
    ExpectRecalcWorks(kRows.size());
    EXPECT_EQ(FileBytes(path), saved) << "the module wrote to the host's log";
}

TEST_F(DatabaseFault, ConnectionRemovedByTheHostThenBack) {
    const QString path = log_->Path();
    const QString name = log_->Db().connectionName();
    log_->Db().close();
    QSqlDatabase::removeDatabase(name);
    ExpectFailedRecalc(BoxCount(), name);

    QString error;
    ASSERT_TRUE(qarvel::OpenLogDatabase(path, name, &error)) << error.toStdString();
    ExpectRecalcWorks(kRows.size());
}

TEST_F(DatabaseFault, LockedByAnotherWriterThenReleased) {
    // The host's connection waits a moment for a lock, not five seconds.
    QSqlDatabase host = log_->Db();
    host.close();
    host.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=100"));
    ASSERT_TRUE(host.open());
    const QByteArray before = FileBytes(log_->Path());

    const QString writerName = QStringLiteral("another-writer");
    {
        QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), writerName);
        writer.setDatabaseName(log_->Path());
        ASSERT_TRUE(writer.open());
        QSqlQuery w(writer);
        ASSERT_TRUE(w.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            << w.lastError().text().toStdString();
        ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO Log (CallSign, DigiBand, QSOMode, "
                                          "Continent, DXCCPrefix) VALUES ('G4ABC', '7', 'CW', "
                                          "'EU', 'G')")));

        ExpectFailedRecalc(BoxCount(), QStringLiteral("locked"));

        ASSERT_TRUE(w.exec(QStringLiteral("ROLLBACK")));
        writer.close();
    }
    QSqlDatabase::removeDatabase(writerName);
    ExpectRecalcWorks(kRows.size());
    EXPECT_EQ(FileBytes(log_->Path()), before) << "the module wrote to the host's log";
}

// The server of a shared log stops while a replay reads it. The replay's one
// message pump after the query has opened stops it: the first pump is at
// the start of the recalculation, the second after the query opened.
TEST(DatabaseFaultPostgres, ServerStoppedDuringTheReplayThenBack) {
    PostgresServer server;
    if (!server.Start())
        GTEST_SKIP() << server.Failure().toStdString();
    const QString connection = QStringLiteral("qarvel-log-1");
    auto openLog = [&](std::size_t rows) {
        QString error;
        const QString database = server.CreateDatabase(&error);
        ASSERT_FALSE(database.isEmpty()) << error.toStdString();
        ASSERT_TRUE(qarvel::OpenLogDatabase(server.SocketUrl(database), connection, &error))
            << error.toStdString();
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        ASSERT_TRUE(qarvel::EnsureLogTable(db, QStringLiteral("Log"), &error))
            << error.toStdString();
        QSqlQuery q(db);
        // Enough rows that the replay is still reading when the server goes.
        ASSERT_TRUE(q.exec(
            QStringLiteral("INSERT INTO Log (CallSign, DigiBand, QSOMode, Continent, DXCCPrefix, "
                           "QSOReportRecived) SELECT 'DL' || n, '14', 'CW', 'EU', 'DL', '599' FROM "
                           "generate_series(1, %1) AS n")
                .arg(rows)))
            << q.lastError().text().toStdString();
    };
    constexpr std::size_t kBig = 60000;
    openLog(kBig);
    if (HasFatalFailure())
        return;

    MessageBoxCatcher boxes;
    {
        LoadedModule module(LoadedModule::DefaultPath());
        const RecordBuilder host;
        ASSERT_NE(module.Run(0, host.Ptr()), 0u);
        QWidget* window = TopLevel(QStringLiteral("fmMainForm"));
        ASSERT_NE(window, nullptr);
        auto* grid = window->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
        auto* recalc = window->findChild<QPushButton*>(QStringLiteral("RzBitBtn1"));
        ASSERT_TRUE(grid && recalc);
        ASSERT_EQ(grid->item(7, 1)->text(), QString::number(kBig))
            << boxes.Texts().join('\n').toStdString();

        int pumps = 0;
        QTimer stopper;
        stopper.setInterval(0);
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (++pumps == 2) {
                stopper.stop();
                server.Stop();
            }
        });
        stopper.start();
        recalc->click();
        stopper.stop();
        ASSERT_EQ(pumps, 2) << "the replay did not pump twice";
        ASSERT_EQ(boxes.Texts().size(), 1) << boxes.Texts().join('\n').toStdString();
        EXPECT_FALSE(boxes.Texts().front().isEmpty());
        std::printf("server stopped during the replay: %s\n",
                    boxes.Texts().front().toStdString().c_str());
        // The rows read before the server went stay counted.
        EXPECT_LT(grid->item(7, 1)->text().toLongLong(), static_cast<long long>(kBig));
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(recalc->isEnabled());
        EXPECT_EQ(module.AddQSO(kNewQSO.Ptr()), 4);

        // A new server, and the host opens its log there.
        QSqlDatabase::database(connection, false).close();
        QSqlDatabase::removeDatabase(connection);
        ASSERT_TRUE(server.Start()) << server.Failure().toStdString();
        openLog(kRows.size());
        if (HasFatalFailure())
            return;
        const QString contents = LogContents(QSqlDatabase::database(connection, false));
        recalc->click();
        EXPECT_EQ(boxes.Texts().size(), 1) << boxes.Texts().join('\n').toStdString();
        EXPECT_EQ(grid->item(7, 1)->text(), QString::number(kRows.size()));
        EXPECT_EQ(LogContents(QSqlDatabase::database(connection, false)), contents)
            << "the module wrote to the host's log";

        module.Release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QSqlDatabase::database(connection, false).close();
    QSqlDatabase::removeDatabase(connection);
}

} // namespace
