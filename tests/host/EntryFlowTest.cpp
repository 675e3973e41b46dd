#include "windows/QsoEntryLine.h"
#include "WindowFixture.h"
#include "ui/ErrorReporter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include "windows/LogTableModel.h"
#include <QTest>

using namespace qarvel;
using qarvel::testing::WindowFixture;

namespace {

class EntryFlow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(session_->Start());
        entry_ = window_->EntryLine();
        call_ = entry_->findChild<QLineEdit*>(QStringLiteral("EntryCall"));
        received_ = entry_->findChild<QLineEdit*>(QStringLiteral("EntryReceived"));
        band_ = entry_->findChild<QComboBox*>(QStringLiteral("EntryBand"));
        mode_ = entry_->findChild<QComboBox*>(QStringLiteral("EntryMode"));
        ASSERT_TRUE(call_ && received_ && band_ && mode_);
        band_->setCurrentText(QStringLiteral("20"));
        mode_->setCurrentText(QStringLiteral("CW"));
    }

    void Type(const char* call) {
        call_->setFocus();
        call_->clear();
        QTest::keyClicks(call_, QLatin1String(call));
    }
    void Enter(QLineEdit* field) { QTest::keyClick(field, Qt::Key_Return); }
    QString Country() const {
        return entry_->findChild<QLabel*>(QStringLiteral("EntryCountry"))->text();
    }

    QsoEntryLine* entry_ = nullptr;
    QLineEdit* call_ = nullptr;
    QLineEdit* received_ = nullptr;
    QComboBox* band_ = nullptr;
    QComboBox* mode_ = nullptr;
};

TEST_F(EntryFlow, TypeSeePointsLogSeeDupe) {
    Type("dl1abc");
    EXPECT_EQ(call_->text(), "DL1ABC");
    EXPECT_TRUE(Country().contains("Germany")) << Country().toStdString();
    EXPECT_EQ(entry_->ResultText(), "2 points"); // same continent, other country
    EXPECT_EQ(Rows(), 0);                        // nothing logged while typing

    QTest::keyClicks(received_, "599 001");
    Enter(received_);
    EXPECT_EQ(entry_->ResultText(), "Logged DL1ABC: 2 points");
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(call_->text(), "");
    EXPECT_EQ(session_->ScoreLineText(), "Score: 2*(0+1)=2");
    EXPECT_EQ(window_->LogModel()->rowCount(), 1);

    const auto rows = book_->ReadAll(nullptr);
    ASSERT_TRUE(rows && rows->size() == 1);
    EXPECT_EQ((*rows)[0].call, "DL1ABC");
    EXPECT_EQ((*rows)[0].band, "14");
    EXPECT_EQ((*rows)[0].mode, "CW");
    EXPECT_EQ((*rows)[0].received, "599 001");
    EXPECT_EQ((*rows)[0].sent, "599");
    EXPECT_EQ((*rows)[0].dxccPrefix, "DL");
    EXPECT_EQ((*rows)[0].continent, "EU");
    EXPECT_FALSE((*rows)[0].date.isEmpty());

    Type("DL1ABC");
    EXPECT_EQ(entry_->ResultText(), "DUPE");
    mode_->setCurrentText(QStringLiteral("SSB")); // another mode is another QSO
    EXPECT_EQ(entry_->ResultText(), "2 points");
    mode_->setCurrentText(QStringLiteral("CW"));
    EXPECT_EQ(entry_->ResultText(), "DUPE");

    // A dupe still goes into the log; the module does not count it.
    QTest::keyClicks(received_, "599 001");
    Enter(received_);
    EXPECT_EQ(entry_->ResultText(), "Logged DL1ABC: DUPE");
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(session_->ScoreLineText(), "Score: 2*(0+1)=2");

    Type("W1AW");
    EXPECT_EQ(entry_->ResultText(), "4 points");
    Type("YO5ZAA");
    EXPECT_EQ(entry_->ResultText(), "8 points");
}

TEST_F(EntryFlow, WhatWasCountedIsWhatTheReplaySees) {
    for (const char* call : {"DL1ABC", "F5ABC", "YO5ZAA", "JA1ABC"}) {
        Type(call);
        QTest::keyClicks(received_, std::string_view(call).starts_with("YO") ? "599 AB" : "599 12");
        Enter(received_);
    }
    const QString counted = session_->ScoreLineText();
    EXPECT_EQ(counted, "Score: 16*(1+3)=64");
    ASSERT_TRUE(session_->Recalc());
    EXPECT_EQ(session_->ScoreLineText(), counted);
}

TEST_F(EntryFlow, CompleteCallFillsTheKnownExchange) {
    Type("YO5ZAA");
    QTest::keyClick(call_, Qt::Key_Space);
    EXPECT_EQ(call_->text(), "YO5ZAA"); // the space is not part of the call
    EXPECT_EQ(received_->text(), "599 AB");
    EXPECT_TRUE(received_->hasFocus() || !QApplication::focusWidget());
    Enter(received_);
    EXPECT_EQ(entry_->ResultText(), "Logged YO5ZAA: 8 points");
    EXPECT_EQ(session_->ScoreLineText(), "Score: 8*(1+0)=8");

    // On phone the filled report is the phone one.
    mode_->setCurrentText(QStringLiteral("SSB"));
    Type("YO7ZAB");
    QTest::keyClick(call_, Qt::Key_Space);
    EXPECT_EQ(received_->text(), "59 AG");
}

TEST_F(EntryFlow, WhatTheOperatorTypedIsNeverOverwritten) {
    received_->setFocus();
    QTest::keyClicks(received_, "599 xy");
    Type("YO5ZAA");
    QTest::keyClick(call_, Qt::Key_Space);
    EXPECT_EQ(received_->text(), "599 xy");
    call_->setFocus();
    received_->setFocus(); // leaving the call field completes it too
    EXPECT_EQ(received_->text(), "599 xy");
}

TEST_F(EntryFlow, AFilledExchangeFollowsACorrectedCall) {
    Type("YO5ZAA");
    QTest::keyClick(call_, Qt::Key_Space);
    EXPECT_EQ(received_->text(), "599 AB");
    Type("YO7ZAB");
    entry_->CallComplete();
    EXPECT_EQ(received_->text(), "599 AG");
    Type("DL1ABC"); // no known exchange: the other station's is removed
    entry_->CallComplete();
    EXPECT_EQ(received_->text(), "");
}

TEST_F(EntryFlow, EnterOnAnEmptyExchangeShowsTheKnownOneFirst) {
    Type("YO5ZAA");
    Enter(call_);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(received_->text(), "599 AB");
    Enter(received_);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(EntryFlow, WhatIsNoCallIsNotLogged) {
    for (const char* text : {"ABC", "12", "DL1/", "DL//1A"}) {
        Type(text);
        Enter(call_);
        EXPECT_EQ(Rows(), 0) << text;
    }
    EXPECT_EQ(entry_->ResultText(), "Not a call sign");
}

TEST_F(EntryFlow, AFailedWriteCountsNothing) {
    QStringList reported;
    zelmar::SetErrorReporter([&](const QString& text) { reported << text; });
    QSqlQuery q(log_->Db());
    ASSERT_TRUE(q.exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON Log BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    Type("DL1ABC");
    QTest::keyClicks(received_, "599 1");
    Enter(received_);
    zelmar::SetErrorReporter({});
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains("disk full")) << reported[0].toStdString();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(call_->text(), "DL1ABC"); // kept for another try
    EXPECT_EQ(entry_->ResultText(), "2 points");
}

TEST_F(EntryFlow, ImportedQsosAreCountedAtOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("in.adi");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<CALL:6>YO5ZAA <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 "
            "<RST_RCVD:3>599 <SRX_STRING:2>AB <EOR>\n"
            "<CALL:6>DL1ABC <MODE:2>CW <EOR>\n"
            "<CALL:4>W1AW <BAND:3>40m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1206 <EOR>\n");
    f.close();
    const LogImportReport report = window_->ImportLogFile(path);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.imported, 2);
    ASSERT_EQ(report.skipped.size(), 1);
    EXPECT_EQ(boxes_.Texts().size(), 1); // the import report
    EXPECT_EQ(window_->LogModel()->rowCount(), 2);
    EXPECT_EQ(session_->ScoreLineText(), "Score: 12*(1+1)=24");
    Type("W1AW");
    band_->setCurrentText(QStringLiteral("40"));
    EXPECT_EQ(entry_->ResultText(), "DUPE");
}

TEST_F(EntryFlow, ACabrilloLogIsImportedAndCountedAsTheCommandLineCountsIt) {
    const LogImportReport report = window_->ImportLogFile(
        QStringLiteral(ZELMAR_TEST_SOURCE_DIR "/tests/host/fixtures/zelmar-2024.cbr"));
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_EQ(report.format, "Cabrillo");
    EXPECT_EQ(report.imported, 47);
    EXPECT_TRUE(report.skipped.isEmpty());
    EXPECT_EQ(report.station, "YO3ZZZ");
    EXPECT_EQ(report.sentExchange, "BU");
    EXPECT_EQ(window_->LogModel()->rowCount(), 47);
    // As `qarvel --import zelmar-2024.cbr --score` prints it.
    EXPECT_EQ(session_->ScoreLineText(), "Score: 194*(15+24)=7566");
}

TEST_F(EntryFlow, CabrilloCarriesTheModulesScore) {
    for (const char* call : {"YO5ZAA", "DL1ABC"}) {
        Type(call);
        QTest::keyClick(call_, Qt::Key_Space);
        if (received_->text().isEmpty())
            QTest::keyClicks(received_, "599 7");
        Enter(received_);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("out.cbr");
    // Cancelled at the check, nothing is written; gone on, the file is.
    AnswerCheckWindow("LogCheckCancel");
    EXPECT_FALSE(window_->ExportCabrilloFile(path));
    EXPECT_FALSE(QFile::exists(path));
    QStringList findings;
    AnswerCheckWindow("LogCheckGoOn", &findings);
    ASSERT_TRUE(window_->ExportCabrilloFile(path));
    // Neither call is in MASTER.SCP, no exchange was sent after the report
    // (the station sends none), and no category is given: one line each,
    // nothing else.
    EXPECT_EQ(findings.size(), 7) << findings.join('\n').toStdString();
    EXPECT_EQ(findings.filter(QRegularExpression("^Log: CATEGORY-\\S+ is not given")).size(), 3);
    EXPECT_EQ(findings.filter("MASTER.SCP does not list").size(), 2);
    EXPECT_EQ(findings.filter("no exchange sent").size(), 2);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains("\r\nCALLSIGN: YO3ZZZ\r\n"));
    EXPECT_TRUE(text.contains("\r\nCLAIMED-SCORE: 20\r\n")) << text.toStdString(); // 10*(1+1)
    EXPECT_EQ(text.count("\r\nQSO: "), 2);
}

} // namespace
