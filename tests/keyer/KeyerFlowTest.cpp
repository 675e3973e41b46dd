// The operator sending through qarvel's main window: Enter Sends Message,
// the function keys, Esc and PgUp against a real cwdaemon; a keyer that is
// not there; the rig's keyer and the voice keyer's PTT against Hamlib's
// dummy rig.
#include "contest/ContestSession.h"
#include "keyer/Keyer.h"
#include "keyer/KeyerSettings.h"
#include "keyer/SendingControl.h"
#include "logbook/LogBook.h"
#include "reference/CountryFile.h"
#include "windows/MainWindow.h"
#include "CwDaemonProcess.h"
#include "RigctldProcess.h"
#include "TempSqliteLog.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>
#include <memory>

using namespace qarvel;
using zelmar::testing::CwDaemonProcess;
using zelmar::testing::RigctldProcess;

namespace {

class KeyerFlow : public ::testing::Test {
protected:
    void SetUp() override {
        // The keyer's settings are read from the station's file: a folder
        // of this test's own.
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", config_->path().toLocal8Bit());
        keyer_.wpm = 56;
    }

    void Open(const QString& rig = {}) {
        ASSERT_TRUE(keyer_.Save(StationSettingsPath()));
        log_ = std::make_unique<zelmar::testing::TempSqliteLog>(ContestSession::kConnection);
        book_ = std::make_unique<LogBook>(ContestSession::ConnectionName(), QStringLiteral("Log"));
        StationSettings station;
        station.call = QStringLiteral("DL1ABC");
        station.dxccPrefix = QStringLiteral("DL");
        station.continent = QStringLiteral("EU");
        station.rig = rig;
        session_ = std::make_unique<ContestSession>();
        QString error;
        ASSERT_TRUE(session_->Load(
            QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"), &error));
        static const CountryFile countries = [] {
            CountryFile f;
            f.Load(CountryFile::kDefaultPath);
            return f;
        }();
        window_ = std::make_unique<MainWindow>(*session_, &countries, *book_, station,
                                               QStringLiteral("test"));
        window_->show();
        QApplication::setActiveWindow(window_.get());
        call_ = window_->findChild<QLineEdit*>(QStringLiteral("EntryCall"));
        received_ = window_->findChild<QLineEdit*>(QStringLiteral("EntryReceived"));
        sent_ = window_->findChild<QLineEdit*>(QStringLiteral("EntrySent"));
        window_->findChild<QComboBox*>(QStringLiteral("EntryBand"))->setCurrentText("14");
        ASSERT_TRUE(QTest::qWaitFor([&] { return call_->hasFocus(); }, 5000));
    }

    void TearDown() override {
        if (session_)
            session_->Shutdown();
        window_.reset();
        session_.reset();
        book_.reset();
        log_.reset();
    }

    static void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_TRUE(w) << "nothing has the keyboard";
        QTest::keyClick(w, key, mods);
    }
    static void Keys(const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); }

    QString Status(const char* name) const {
        auto* label = window_->findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QString();
    }
    bool StatusRed(const char* name) const {
        auto* label = window_->findChild<QLabel*>(QLatin1String(name));
        return label && label->palette().color(QPalette::WindowText) == QColor(200, 0, 0);
    }
    std::vector<QsoRow> Log() const {
        QString error;
        return book_->ReadInEntryOrder(&error).value_or(std::vector<QsoRow>{});
    }
    Keyer* Cw() const { return window_->Sending()->CwKeyer(); }

    std::unique_ptr<QTemporaryDir> config_;
    KeyerSettings keyer_;
    std::unique_ptr<zelmar::testing::TempSqliteLog> log_;
    std::unique_ptr<LogBook> book_;
    std::unique_ptr<ContestSession> session_;
    std::unique_ptr<MainWindow> window_;
    QLineEdit* call_ = nullptr;
    QLineEdit* received_ = nullptr;
    QLineEdit* sent_ = nullptr;
};

// cwdaemon has been asked to key `text` (the n-th text, 0 first).
::testing::AssertionResult Keyed(const CwDaemonProcess& cw, int n, const QString& text) {
    (void)QTest::qWaitFor([&] { return cw.Texts().size() > n; }, 10000);
    const QStringList texts = cw.Texts();
    if (texts.size() > n && texts[n] == text)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cwdaemon keyed: " << texts.join(" | ").toStdString();
}

TEST_F(KeyerFlow, EnterSendsMessageThroughRunAndSearchPounceQsosOnCwdaemon) {
    if (!CwDaemonProcess::Installed())
        GTEST_SKIP() << "cwdaemon is not installed";
    CwDaemonProcess cw;
    ASSERT_TRUE(cw.Start());
    keyer_.kind = KeyerSettings::Kind::CwDaemon;
    keyer_.cwdaemon = cw.Address();
    Open();
    const int before = static_cast<int>(cw.Texts().size()); // the start's probe
    EXPECT_EQ(sent_->text(), "599 001");
    EXPECT_EQ(Status("SendingSet"), "Run");

    // Run: CQ, his call and the exchange, TU and the QSO is logged.
    Key(Qt::Key_Return);
    EXPECT_TRUE(Keyed(cw, before, "CQ DL1ABC TEST"));
    // The end of the message comes back from cwdaemon.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Cw()->Sending(); }, 10000));
    Keys("OK1XYZ");
    Key(Qt::Key_Return);
    EXPECT_TRUE(Keyed(cw, before + 1, "OK1XYZ 5NN 001"));
    EXPECT_TRUE(received_->hasFocus());
    EXPECT_TRUE(Log().empty());
    Keys("599 7");
    Key(Qt::Key_Return);
    EXPECT_TRUE(Keyed(cw, before + 2, "TU DL1ABC"));
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].call, "OK1XYZ");
    EXPECT_EQ(Log()[0].sent, "599 001");
    EXPECT_EQ(sent_->text(), "599 002");
    EXPECT_TRUE(call_->hasFocus());

    // S&P: my call, then my exchange and the QSO is logged.
    Key(Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(Status("SendingSet"), "S&P");
    EXPECT_EQ(window_->findChild<QPushButton*>("MessageF4")->text(), "F4 My call");
    Keys("S51A");
    Key(Qt::Key_Return);
    EXPECT_TRUE(Keyed(cw, before + 3, "DL1ABC"));
    Keys("599 44");
    Key(Qt::Key_Return);
    EXPECT_TRUE(Keyed(cw, before + 4, "TU 5NN 002"));
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[1].sent, "599 002");
    EXPECT_EQ(Log()[1].received, "599 44");

    // A deleted QSO's number is not handed out again.
    QString error;
    ASSERT_TRUE(book_->Remove(2, &error)) << error.toStdString();
    Key(Qt::Key_R, Qt::AltModifier);
    Keys("SP2AA");
    Key(Qt::Key_Return);
    EXPECT_TRUE(Keyed(cw, before + 5, "SP2AA 5NN 003"));
    // A button sends like its key: F8 AGN.
    window_->findChild<QPushButton*>("MessageF8")->click();
    EXPECT_TRUE(Keyed(cw, before + 6, "AGN"));
}

TEST_F(KeyerFlow, EscStopsTheCwAndPgUpRaisesTheSpeed) {
    if (!CwDaemonProcess::Installed())
        GTEST_SKIP() << "cwdaemon is not installed";
    CwDaemonProcess cw;
    ASSERT_TRUE(cw.Start());
    keyer_.kind = KeyerSettings::Kind::CwDaemon;
    keyer_.cwdaemon = cw.Address();
    Open();
    EXPECT_EQ(Status("KeyerSpeed"), "56 wpm");
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Status("KeyerSpeed"), "58 wpm");
    EXPECT_TRUE(QTest::qWaitFor([&] { return cw.Escapes().contains("<ESC>258"); }, 10000))
        << cw.Escapes().join(' ').toStdString();
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Status("KeyerSpeed"), "54 wpm");
    EXPECT_TRUE(QTest::qWaitFor([&] { return cw.Escapes().contains("<ESC>254"); }, 10000));

    Keys("OK1XYZ");
    Key(Qt::Key_F1); // some seconds of CQ at 54 wpm
    ASSERT_TRUE(QTest::qWaitFor([&] { return !cw.Texts().filter("CQ").isEmpty(); }, 10000));
    EXPECT_TRUE(Cw()->Sending());
    Key(Qt::Key_Escape);
    // The first Esc stops the CW and nothing else.
    EXPECT_FALSE(Cw()->Sending());
    EXPECT_TRUE(QTest::qWaitFor([&] { return cw.Escapes().contains("<ESC>4"); }, 10000));
    EXPECT_EQ(call_->text(), "OK1XYZ");
    Key(Qt::Key_Escape);
    EXPECT_EQ(call_->text(), "");
}

TEST_F(KeyerFlow, AKeyerThatIsNotThereIsShownAndLoggingGoesOn) {
    // A port nobody listens on: cwdaemon is not running.
    CwDaemonProcess absent;
    keyer_.kind = KeyerSettings::Kind::CwDaemon;
    keyer_.cwdaemon = absent.Address();
    Open();
    Keys("OK1XYZ");
    Key(Qt::Key_Return);
    Keys("599 7");
    Key(Qt::Key_Return);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].sent, "599 001");
    // The keyer is shown as gone, in red, within the message's time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusRed("KeyerStatus"); }, 15000))
        << Status("KeyerStatus").toStdString();
    EXPECT_TRUE(Status("KeyerStatus").contains(absent.Address())) << Status("KeyerStatus").toStdString();
    // A number typed by hand goes with this QSO only; none is used twice.
    Keys("S51A");
    Key(Qt::Key_Return);
    Keys("599 8");
    sent_->selectAll();
    QTest::keyClicks(sent_, "599 010");
    received_->setFocus();
    Key(Qt::Key_Return);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[1].sent, "599 010");
    EXPECT_EQ(sent_->text(), "599 011");
}

// A second of silence, 8 kHz mono 16-bit PCM.
void WriteWav(const QString& path) {
    const quint32 rate = 8000, bytes = rate * 2;
    QByteArray wav = "RIFF";
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    u32(36 + bytes);
    wav += "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    wav += "data";
    u32(bytes);
    wav += QByteArray(static_cast<int>(bytes), '\0');
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(wav);
}

bool Ptt(const RigctldProcess& rig) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, rig.Address().section(':', 1).toUShort());
    if (!s.waitForConnected(2000))
        return false;
    s.write("t\n");
    return s.waitForReadyRead(2000) && s.readAll().trimmed() == "1";
}

TEST_F(KeyerFlow, TheRigKeyerAndTheVoiceKeyersPttGoThroughRigctld) {
    if (!RigctldProcess::Installed())
        GTEST_SKIP() << "rigctld is not installed";
    RigctldProcess rig;
    // Traced, so that the dummy rig's send_morse shows in its output.
    ASSERT_TRUE(rig.Start({"-P", "RIG", "-vvvvv"}));
    QTemporaryDir voice;
    WriteWav(voice.filePath("run-f1.wav"));
    keyer_.kind = KeyerSettings::Kind::Rig;
    keyer_.voiceFolder = voice.path();
    Open(rig.Address());

    // send_morse: the rig's keyer takes the text.
    EXPECT_FALSE(rig.Output().contains("dummy_send_morse entered"));
    Key(Qt::Key_F1);
    EXPECT_TRUE(Cw()->Sending());
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.Output().contains("dummy_send_morse returning(0)"); },
                                5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Status("KeyerStatus").startsWith("rig keyer"); }, 5000))
        << Status("KeyerStatus").toStdString();
    EXPECT_FALSE(StatusRed("KeyerStatus"));
    // The dummy rig has no stop_morse: the operator is told.
    Key(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusRed("KeyerStatus"); }, 5000));
    EXPECT_TRUE(Status("KeyerStatus").contains("cannot stop sending"))
        << Status("KeyerStatus").toStdString();

    // On SSB F1 plays run-f1.wav with the rig on transmit, and then back
    // on receive, sound device or not.
    window_->findChild<QComboBox*>(QStringLiteral("EntryMode"))->setCurrentText("SSB");
    call_->setFocus();
    Keyer* voiceKeyer = window_->Sending()->VoiceKeyer();
    ASSERT_TRUE(voiceKeyer);
    Key(Qt::Key_F1);
    EXPECT_TRUE(voiceKeyer->Sending());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Ptt(rig); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !voiceKeyer->Sending() && !Ptt(rig); }, 10000));

    // A message without its recording is reported and never keys the rig.
    Key(Qt::Key_F3);
    EXPECT_FALSE(voiceKeyer->Sending());
    EXPECT_TRUE(Status("KeyerStatus").contains("no recording")) << Status("KeyerStatus").toStdString();
    EXPECT_TRUE(Status("KeyerStatus").contains("run-f3.wav"));
    QTest::qWait(300);
    EXPECT_FALSE(Ptt(rig));
}

} // namespace
