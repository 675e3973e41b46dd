#include "LoadedModule.h"
#include "MessageBoxCatcher.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

using Cells = std::vector<std::vector<QString>>;

class ScoringThroughModule : public ::testing::Test {
protected:
    void SetUp() override {
        log_ = std::make_unique<TempSqliteLog>();
        module_ = std::make_unique<LoadedModule>(ZELMAR_TEST_MODULE);
        ASSERT_NE(module_->Run(0, RecordBuilder().Ptr()), 0u);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("fmMainForm"))
                window_ = w;
        ASSERT_NE(window_, nullptr);
        grid_ = window_->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
        label_ = window_->findChild<QLabel*>(QStringLiteral("Label1"));
        ASSERT_NE(grid_, nullptr);
        ASSERT_NE(label_, nullptr);
    }
    void TearDown() override {
        EXPECT_TRUE(boxes_.Texts().isEmpty()) << boxes_.Texts().join('\n').toStdString();
        module_->Release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        module_.reset();
        log_.reset();
    }

    // Row r, column c of the grid, read through its item model.
    QString Cell(int column, int row) const {
        return grid_->model()->index(row, column).data().toString();
    }
    std::vector<QString> Row(int row) const {
        return {Cell(1, row), Cell(2, row), Cell(3, row), Cell(4, row)};
    }
    Cells Grid() const {
        Cells cells;
        for (int r = 0; r < grid_->model()->rowCount(); ++r) {
            cells.emplace_back();
            for (int c = 0; c < grid_->model()->columnCount(); ++c)
                cells.back().push_back(Cell(c, r));
        }
        return cells;
    }
    QString ScoreLine() const { return label_->text(); }

    std::string Grab(const RecordBuilder& qso) const {
        std::array<unsigned char, 256> receiving;
        receiving.fill(0xEE);
        module_->GrabNumber(qso.Ptr(), receiving.data());
        return std::string(reinterpret_cast<const char*>(&receiving[1]), receiving[0]);
    }

    MessageBoxCatcher boxes_;
    std::unique_ptr<TempSqliteLog> log_;
    std::unique_ptr<LoadedModule> module_;
    QWidget* window_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLabel* label_ = nullptr;
};

RecordBuilder Qso(const std::string& call, const std::string& band, const std::string& prefix,
                  const std::string& continent, const std::string& exchange = "") {
    return RecordBuilder()
        .Call(call)
        .Band(band)
        .Mode("CW")
        .Prefix(prefix)
        .Continent(continent)
        .Exchange(exchange);
}

TEST_F(ScoringThroughModule, SameRecordTwiceGivesThePointsThenMinusOne) {
    struct Case {
        RecordBuilder qso;
        int points;
    };
    const Case cases[] = {{Qso("YO5ZAA", "14", "YO", "EU"), 8},
                          {Qso("W1AW", "7", "K", "NA"), 4},
                          {Qso("F5XYZ", "21", "F", "EU"), 2},
                          {Qso("DL1ABC", "28", "DL", "EU"), 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(module_->AddQSO(c.qso.Ptr()), c.points);
        EXPECT_EQ(module_->AddQSO(c.qso.Ptr()), -1);
        EXPECT_EQ(module_->GetScore(c.qso.Ptr()), -1);
    }
    EXPECT_EQ(Row(7), (std::vector<QString>{"4", "15", "0", "3"}));
    EXPECT_EQ(ScoreLine(), QStringLiteral("Score: 15*(0+3)=45"));
}

TEST_F(ScoringThroughModule, GetScoreChangesNothing) {
    ASSERT_EQ(module_->AddQSO(Qso("W1AW", "14", "K", "NA").Ptr()), 4);
    const Cells before = Grid();
    const QString line = ScoreLine();

    const RecordBuilder fresh = Qso("YO3ZAI", "21", "YO", "EU", "59 BU");
    EXPECT_EQ(module_->GetScore(fresh.Ptr()), 8);
    EXPECT_EQ(module_->GetScore(Qso("W1AW", "14", "K", "NA").Ptr()), -1);
    EXPECT_EQ(Grid(), before);
    EXPECT_EQ(ScoreLine(), line);

    // Not recorded by the question: it counts when it is added.
    EXPECT_EQ(module_->AddQSO(fresh.Ptr()), 8);
    EXPECT_EQ(Row(5), (std::vector<QString>{"1", "8", "1", "0"}));
}

TEST_F(ScoringThroughModule, GrabNumberLooksUpListedHomeStationsOnly) {
    // data/zelmar.txt, copied next to the module, lists YO5ZAA=AB.
    EXPECT_EQ(Grab(Qso("YO5ZAA", "14", "YO", "EU")), "AB");
    EXPECT_EQ(Grab(Qso("YO5ZAA", "14", " yo", "EU")), "AB");
    EXPECT_EQ(Grab(Qso("YO8ZBP", "14", "YO", "EU")), "VS");
    EXPECT_EQ(Grab(Qso("YO5ZAA", "14", "DL", "EU")), "");
    EXPECT_EQ(Grab(Qso("YO5ZZZ", "14", "YO", "EU")), "");
    EXPECT_EQ(Grab(Qso("YO5ZA", "14", "YO", "EU")), "");
}

TEST_F(ScoringThroughModule, CountyExchangeRaisesTheMultipliersColumn) {
    EXPECT_EQ(module_->AddQSO(Qso("YO5ZAA", "14", "YO", "EU", "59 ab").Ptr()), 8);
    EXPECT_EQ(Row(4), (std::vector<QString>{"1", "8", "1", "0"}));
    // The same county on the same band, and a code the table lacks: no more.
    module_->AddQSO(Qso("YO5ZAB", "14", "YO", "EU", "599 AB").Ptr());
    module_->AddQSO(Qso("YO5ZAC", "14", "YO", "EU", "59 ZZ").Ptr());
    EXPECT_EQ(Cell(3, 4), QStringLiteral("1"));
    // Another county, and the first one on another band.
    module_->AddQSO(Qso("YO3ZAI", "14", "YO", "EU", "59 BU").Ptr());
    module_->AddQSO(Qso("YO5ZAA", "21", "YO", "EU", "AB").Ptr());
    EXPECT_EQ(Cell(3, 4), QStringLiteral("2"));
    EXPECT_EQ(Cell(3, 5), QStringLiteral("1"));
    EXPECT_EQ(Row(7), (std::vector<QString>{"5", "40", "3", "0"}));
    EXPECT_EQ(ScoreLine(), QStringLiteral("Score: 40*(3+0)=120"));
}

// The claimed score of a big log no longer wraps in the window.
TEST_F(ScoringThroughModule, ScoreLineOfALargeLogIsNotWrapped) {
    for (int i = 0; i < 20000; ++i) {
        const std::string n = std::to_string(i);
        ASSERT_EQ(module_->AddQSO(Qso("K" + n, "14", "P" + n, "NA").Ptr()), 4);
    }
    for (int i = 0; i < 27500; ++i)
        ASSERT_EQ(module_->AddQSO(Qso("YO" + std::to_string(i), "7", "YO", "EU").Ptr()), 8);
    EXPECT_EQ(Row(7), (std::vector<QString>{"47500", "300000", "0", "20000"}));
    EXPECT_EQ(ScoreLine(), QStringLiteral("Score: 300000*(0+20000)=6000000000"));
}

// A host in a folder of its own: the probe copied into a temporary folder,
// with the module and the two tables in its Plugins folder.
class ProbeHost {
public:
    ProbeHost() {
        plugins_ = dir_.filePath(QStringLiteral("Plugins"));
        QDir().mkpath(plugins_);
        const QString probe = dir_.filePath(QStringLiteral("probe"));
        QFile::copy(QStringLiteral(ZELMAR_TEST_PROBE_HOST), probe);
        QFile::link(QStringLiteral(ZELMAR_TEST_MODULE), plugins_ + "/ZelmarContest.so");
        WriteTable("romanian.dom", "ZZ=ZZ\r\n");
        WriteTable("zelmar.txt", "YO0PRB=ZZ\r\n");
    }
    // Folder names stay what they were given; the module reports the path
    // it opened, which is the canonical one of the executable's folder.
    QString TablePath(const char* name) const {
        return QDir(dir_.path()).canonicalPath() + "/Plugins/" + name;
    }
    void WriteTable(const char* name, const QByteArray& bytes) const {
        QFile f(plugins_ + "/" + name);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }
    // A link to itself: the name is there but cannot even be looked at.
    void MakeUnreadable(const char* name) const {
        QFile::remove(plugins_ + "/" + name);
        QFile::link(QString::fromLatin1(name), plugins_ + "/" + name);
    }
    void MakeFolder(const char* name) const {
        QFile::remove(plugins_ + "/" + name);
        QDir().mkpath(plugins_ + "/" + name);
    }
    QStringList Run() const {
        QProcess p;
        p.setProgram(dir_.filePath(QStringLiteral("probe")));
        p.setWorkingDirectory(QDir::tempPath());
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start();
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return {QStringLiteral("probe-error=timeout")};
        }
        return QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
    bool Valid() const { return dir_.isValid() && QFile::exists(dir_.filePath("probe")); }

private:
    QTemporaryDir dir_;
    QString plugins_;
};

TEST(ReferenceTablesBesideTheHost, AreReadFromTheHostsPluginsFolder) {
    ProbeHost host;
    ASSERT_TRUE(host.Valid());
    EXPECT_EQ(host.Run(),
              (QStringList{"run=handle", "grab=ZZ", "add=8", "window=1", "released=0"}));
}

TEST(ReferenceTablesBesideTheHost, UnreadableTableMakesRunReportItAndLeaveNoWindow) {
    for (const char* table : {"romanian.dom", "zelmar.txt"}) {
        ProbeHost host;
        ASSERT_TRUE(host.Valid());
        host.MakeUnreadable(table);
        EXPECT_EQ(host.Run(), (QStringList{"run=0", "grab=", "add=0", "window=0", "released=0",
                                           "box=Cannot open file " + host.TablePath(table)}))
            << table;
    }
}

// A folder where a table should be is no table: the window opens without it.
TEST(ReferenceTablesBesideTheHost, FolderInPlaceOfATableIsAMissingTable) {
    ProbeHost countiesAsFolder;
    ASSERT_TRUE(countiesAsFolder.Valid());
    countiesAsFolder.MakeFolder("romanian.dom");
    EXPECT_EQ(countiesAsFolder.Run(),
              (QStringList{"run=handle", "grab=ZZ", "add=8", "window=1", "released=0"}));
    ProbeHost callsAsFolder;
    ASSERT_TRUE(callsAsFolder.Valid());
    callsAsFolder.MakeFolder("zelmar.txt");
    EXPECT_EQ(callsAsFolder.Run(),
              (QStringList{"run=handle", "grab=", "add=8", "window=1", "released=0"}));
}

} // namespace
