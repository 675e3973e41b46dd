// The log view follows other positions row by row, and undo brings a
// deleted QSO back under its own ID, also after later QSOs.
#include "logbook/LogBook.h"
#include "logbook/LogCorrections.h"
#include "logbook/LogSchema.h"
#include "windows/LogTableModel.h"
#include "windows/LogViewFollower.h"
#include "TempSqliteLog.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <gtest/gtest.h>

using namespace qarvel;

namespace {

QsoRow Qso(const QString& call, const QString& position = {}) {
    QsoRow r;
    r.date = QStringLiteral("2024-03-09");
    r.time = QStringLiteral("12:00:00");
    r.call = call;
    r.band = QStringLiteral("14");
    r.mode = QStringLiteral("CW");
    r.sent = QStringLiteral("599 BU");
    r.received = QStringLiteral("599 001");
    r.position = position;
    return r;
}

qint64 Log(LogBook& book, const QsoRow& row) {
    QString error;
    qint64 id = 0;
    EXPECT_TRUE(book.Append(row, &error, &id)) << error.toStdString();
    return id;
}

// ID -> call, as the log holds them.
std::map<qint64, QString> Calls(const LogBook& book) {
    std::map<qint64, QString> out;
    const auto entries = book.ReadEntries(nullptr).value_or(std::vector<LogEntry>{});
    for (const LogEntry& e : entries)
        out[e.id] = e.row.call + QLatin1Char('/') + e.row.band;
    return out;
}

// A table of an older qarvel: INTEGER PRIMARY KEY without AUTOINCREMENT,
// which SQLite lets reuse the highest ID after a delete.
void MakeOldTable(QSqlDatabase db, const QString& table) {
    QStringList columns;
    for (const QString& c : LogColumns())
        columns << c + QStringLiteral(" VARCHAR(255)");
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE %1 (ID INTEGER PRIMARY KEY, %2)")
                           .arg(table, columns.join(QStringLiteral(", ")))));
    QString error;
    ASSERT_TRUE(EnsureLogTable(db, table, &error))
        << error.toStdString();
}

TEST(SqliteUndo, DeleteLogUndoBringsTheDeletedQsoBackAndTheNewOneStays) {
    for (const bool old : {false, true}) {
        SCOPED_TRACE(old ? "a table of an older qarvel" : "a table made now");
        const QString table = old ? QStringLiteral("OldLog") : QStringLiteral("Log");
        zelmar::testing::TempSqliteLog file(7, old ? QStringLiteral("Unused") : table);
        if (old)
            MakeOldTable(file.Db(), table);
        LogBook book(QStringLiteral("qarvel-log-7"), table);
        LogCorrections corrections(book);
        Log(book, Qso(QStringLiteral("DL1ABC")));
        Log(book, Qso(QStringLiteral("W1AW")));
        const qint64 f = Log(book, Qso(QStringLiteral("F5ABC")));
        QString error;
        QsoRow moved = Qso(QStringLiteral("F5ABC"));
        moved.band = QStringLiteral("7");
        ASSERT_TRUE(corrections.Edit(f, moved, &error)) << error.toStdString();
        ASSERT_TRUE(corrections.Delete(f, &error)) << error.toStdString();
        const qint64 later = Log(book, Qso(QStringLiteral("JA1ABC")));
        ASSERT_NE(later, 0);
        EXPECT_EQ(later == f, old) << "an old table reuses the ID, a new one never";

        ASSERT_TRUE(corrections.Undo(&error)) << error.toStdString();
        auto calls = Calls(book);
        ASSERT_EQ(calls.size(), 4u);
        EXPECT_EQ(calls[later], "JA1ABC/14");
        if (!old) {
            EXPECT_EQ(calls[f], "F5ABC/7");
        }
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const auto& c) { return c.second == "F5ABC/7"; }),
                  1);
        // The edit before the delete still means F5ABC, wherever it is now.
        ASSERT_TRUE(corrections.Undo(&error)) << error.toStdString();
        calls = Calls(book);
        EXPECT_EQ(calls[later], "JA1ABC/14");
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const auto& c) { return c.second == "F5ABC/14"; }),
                  1);
        EXPECT_FALSE(corrections.CanUndo());
    }
}

TEST(SqliteUndo, AFailedStepSaysWhyAndLetsTheOlderOnesThrough) {
    zelmar::testing::TempSqliteLog file(8);
    LogBook book(QStringLiteral("qarvel-log-8"), QStringLiteral("Log"));
    LogCorrections corrections(book);
    const qint64 a = Log(book, Qso(QStringLiteral("DL1ABC")));
    const qint64 b = Log(book, Qso(QStringLiteral("W1AW")));
    QString error;
    QsoRow moved = Qso(QStringLiteral("DL1ABC"));
    moved.band = QStringLiteral("21");
    ASSERT_TRUE(corrections.Edit(a, moved, &error));
    ASSERT_TRUE(corrections.Delete(b, &error));

    QSqlQuery q(file.Db());
    ASSERT_TRUE(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON Log BEGIN "
                       "SELECT RAISE(ABORT, 'disk full'); END"));
    EXPECT_FALSE(corrections.Undo(&error));
    EXPECT_NE(error.indexOf("disk full"), -1) << error.toStdString();
    // Nothing is lost without a word: the QSO that did not come back is named.
    EXPECT_NE(error.indexOf("W1AW"), -1) << error.toStdString();
    ASSERT_TRUE(q.exec("DROP TRIGGER refuse"));

    ASSERT_TRUE(corrections.Undo(&error)) << error.toStdString();
    EXPECT_EQ(Calls(book), (std::map<qint64, QString>{{a, "DL1ABC/14"}}));
}

// Another position's rows reach the view one by one: the operator's
// selection, current row and place stay, and the model is never reset.
TEST(LogViewFollowing, OtherPositionsRowsKeepTheSelectionAndThePlace) {
    zelmar::testing::TempSqliteLog file(9);
    LogBook book(QStringLiteral("qarvel-log-9"), QStringLiteral("Log"));
    for (int i = 0; i < 40; ++i)
        Log(book, Qso(QStringLiteral("DL%1ABC").arg(i), QStringLiteral("RUN1")));
    LogTableModel model(book);
    ASSERT_TRUE(model.Reload());
    QTableView view;
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.resize(600, 300);
    view.show();
    LogViewFollower follower(book, model, &view);
    QSignalSpy resets(&model, &QAbstractItemModel::modelAboutToBeReset);

    view.selectRow(5);
    view.verticalScrollBar()->setValue(3);
    const QString selected = model.EntryAt(5).row.qsoId;
    const auto stays = [&](const char* after) {
        SCOPED_TRACE(after);
        const int current = view.currentIndex().row();
        ASSERT_GE(current, 0);
        EXPECT_EQ(model.EntryAt(current).row.qsoId, selected);
        const QModelIndexList rows = view.selectionModel()->selectedRows();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].row(), current);
    };

    // Logged at RUN2: appended, last.
    QsoRow other = Qso(QStringLiteral("W1AW"), QStringLiteral("RUN2"));
    other = book.Read(Log(book, other), nullptr).value_or(QsoRow{});
    follower.Apply(QStringLiteral("INSERT %1 RUN2").arg(other.qsoId));
    ASSERT_EQ(model.rowCount(), 41);
    EXPECT_EQ(model.EntryAt(40).row.call, "W1AW");
    stays("an insert");
    EXPECT_EQ(view.verticalScrollBar()->value(), 3);

    // Corrected at RUN2: changed in place.
    const LogEntry tenth = model.EntryAt(10);
    QsoRow corrected = tenth.row;
    corrected.band = QStringLiteral("7");
    QString error;
    ASSERT_TRUE(book.Update(tenth.id, corrected, &error));
    follower.Apply(QStringLiteral("UPDATE %1 RUN2").arg(tenth.row.qsoId));
    EXPECT_EQ(model.EntryAt(10).row.band, "7");
    stays("an edit");

    // Deleted at RUN2, above the selection: the selection moves with its row.
    const LogEntry second = model.EntryAt(2);
    ASSERT_TRUE(book.Remove(second.id, &error));
    follower.Apply(QStringLiteral("DELETE %1 RUN2").arg(second.row.qsoId));
    ASSERT_EQ(model.rowCount(), 40);
    EXPECT_EQ(model.RowOf(second.id), -1);
    stays("a delete");

    // Written back under its old ID (an undo at RUN2): at its place by ID.
    ASSERT_TRUE(book.Restore(second.id, second.row, &error));
    follower.Apply(QStringLiteral("INSERT %1 RUN2").arg(second.row.qsoId));
    EXPECT_EQ(model.RowOf(second.id), 2);
    stays("a restore");

    // Changes the view missed (offline): brought in row by row, too.
    ASSERT_TRUE(book.Remove(model.EntryAt(0).id, &error));
    Log(book, Qso(QStringLiteral("JA1ABC"), QStringLiteral("RUN2")));
    follower.OnlineChanged(false);
    follower.OnlineChanged(true);
    const auto entries = book.ReadEntries(nullptr).value_or(std::vector<LogEntry>{});
    ASSERT_EQ(model.rowCount(), static_cast<int>(entries.size()));
    for (int r = 0; r < model.rowCount(); ++r) {
        EXPECT_EQ(model.EntryAt(r).id, entries[static_cast<std::size_t>(r)].id);
        EXPECT_EQ(model.EntryAt(r).row, entries[static_cast<std::size_t>(r)].row);
    }
    stays("a resync");
    EXPECT_EQ(resets.count(), 0);

    // Alt+E / Alt+D look for this position's own newest row, not the last.
    EXPECT_EQ(model.EntryAt(model.LastRowOf(QStringLiteral("RUN1"))).row.call, "DL39ABC");
    EXPECT_EQ(model.EntryAt(model.rowCount() - 1).row.position, "RUN2");
    EXPECT_EQ(model.LastRowOf(QStringLiteral("MULT")), -1);
}

} // namespace
