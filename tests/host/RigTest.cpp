#include "RigctldProcess.h"
#include "WindowFixture.h"
#include "app/CommandLine.h"
#include "rig/RigAddress.h"
#include "rig/RigBandMode.h"
#include "rig/RigctldClient.h"
#include "windows/QsoEntryLine.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

using namespace qarvel;
using qarvel::testing::WindowFixture;
using zelmar::testing::RigctldProcess;

namespace {

TEST(RigText, AddressesFrequenciesAndModes) {
    const auto local = RigAddress::Parse(" localhost:4533 ");
    ASSERT_TRUE(local);
    EXPECT_EQ(local->host, "localhost");
    EXPECT_EQ(local->port, 4533);
    EXPECT_EQ(RigAddress::Parse("shack-pc")->port, RigAddress::kDefaultPort);
    EXPECT_EQ(RigAddress::Parse("[::1]:4532")->Text(), "[::1]:4532");
    for (const char* bad : {"", "host:", ":4532", "host:0", "host:65536", "host:+45", "host:45x",
                            "::1:4532", "[::1", "[::1]4532", "two words:4532", "[]:4532"})
        EXPECT_FALSE(RigAddress::Parse(QLatin1String(bad))) << bad;

    EXPECT_EQ(CommandLine::Parse({"qarvel", "--rig", "127.0.0.1:4532"}).Station({}, nullptr).rig,
              "127.0.0.1:4532");
    EXPECT_FALSE(CommandLine::Parse({"qarvel", "--rig", "radio:99999"}).error.isEmpty());
    StationSettings stored;
    stored.rig = QStringLiteral("shack:4532");
    EXPECT_EQ(CommandLine::Parse({"qarvel", "--rig", ""}).Station(stored, nullptr).rig, "");
    EXPECT_EQ(CommandLine::Parse({"qarvel"}).Station(stored, nullptr).rig, "shack:4532");

    EXPECT_EQ(MegahertzText(7025000), "7.025");
    EXPECT_EQ(MegahertzText(14025500), "14.0255");
    EXPECT_EQ(MegahertzText(1800000), "1.800");
    EXPECT_EQ(MegahertzText(28000001), "28.000001");
    EXPECT_EQ(BandOfHertz(7300000), "7");
    EXPECT_EQ(BandOfHertz(7300001), "");
    EXPECT_EQ(BandOfHertz(5357000), "");

    const std::pair<const char*, const char*> modes[] = {
        {"CW", "CW"},  {"CWR", "CW"}, {"USB", "SSB"},   {"LSB", "SSB"},
        {"AM", "SSB"}, {"FM", "FM"},  {"RTTY", "RTTY"}, {"PKTUSB", "PKTUSB"},
    };
    for (const auto& [rig, log] : modes)
        EXPECT_EQ(LogModeOfRig(QLatin1String(rig)), QLatin1String(log)) << rig;
}

// The main window with its rig at `rigAddress`, logging on the keyboard.
class RigWindow : public WindowFixture {
protected:
    void Open(const QString& rigAddress) {
        station_.rig = rigAddress;
        WindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(session_->Start());
        entry_ = window_->EntryLine();
        call_ = entry_->findChild<QLineEdit*>(QStringLiteral("EntryCall"));
        received_ = entry_->findChild<QLineEdit*>(QStringLiteral("EntryReceived"));
        band_ = entry_->findChild<QComboBox*>(QStringLiteral("EntryBand"));
        mode_ = entry_->findChild<QComboBox*>(QStringLiteral("EntryMode"));
        status_ = window_->statusBar()->findChild<QLabel*>(QStringLiteral("RigStatus"));
        ASSERT_TRUE(call_ && received_ && band_ && mode_ && status_);
    }
    void SetUp() override {}
    void TearDown() override {
        if (session_)
            WindowFixture::TearDown();
    }

    void Log(const char* call, const char* exchange) {
        call_->setFocus();
        call_->clear();
        QTest::keyClicks(call_, QLatin1String(call));
        received_->setText(QLatin1String(exchange));
        QTest::keyClick(received_, Qt::Key_Return);
    }
    bool StatusShows(const QString& text, int ms = 15000) {
        return QTest::qWaitFor([&] { return status_->text().contains(text); }, ms);
    }
    QString Status() const { return status_->text(); }
    QsoRow LastRow() {
        const auto rows = book_->ReadAll(nullptr);
        return rows && !rows->empty() ? rows->back() : QsoRow{};
    }

    QsoEntryLine* entry_ = nullptr;
    QLineEdit* call_ = nullptr;
    QLineEdit* received_ = nullptr;
    QComboBox* band_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLabel* status_ = nullptr;
};

TEST_F(RigWindow, BandFollowsTheRigQsosCarryItsFrequencyAndALostRigComesBack) {
    ASSERT_TRUE(RigctldProcess::Installed()) << "rigctld is missing: scripts/install-deps";
    RigctldProcess rig;
    ASSERT_TRUE(rig.Start());
    Open(rig.Address());
    if (HasFatalFailure())
        return;

    // The dummy rig starts on 2 m: none of the contest's bands.
    ASSERT_TRUE(StatusShows("Rig: 145.000 MHz FM, out of band")) << Status().toStdString();
    EXPECT_EQ(band_->currentIndex(), -1);
    EXPECT_EQ(mode_->currentText(), "FM");
    Log("DL1ABC", "599 001");
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(entry_->ResultText().startsWith("Out of band"))
        << entry_->ResultText().toStdString();
    // Red, as every reason not to log is.
    EXPECT_EQ(
        entry_->findChild<QLabel*>(QStringLiteral("EntryResult"))->palette().color(QPalette::WindowText),
        QColor(200, 0, 0));

    // The WARC bands are bands, but no contest is held on them: nothing is
    // logged there, whatever the keyboard says.
    for (const char* hertz : {"10110000", "18080000"}) {
        ASSERT_TRUE(rig.Tune({"F", hertz, "M", "CW", "0"}));
        ASSERT_TRUE(StatusShows(QStringLiteral("Rig: %1 MHz CW, not a contest band")
                                    .arg(MegahertzText(QByteArray(hertz).toLongLong()))))
            << Status().toStdString();
        EXPECT_EQ(band_->currentIndex(), -1);
        Log("DL1ABC", "599 001");
        QTest::keyClick(received_, Qt::Key_Return); // the second Enter too
        EXPECT_EQ(Rows(), 0) << hertz;
        EXPECT_EQ(entry_->ResultText(), "Not a contest band: pick a band") << hertz;
        EXPECT_EQ(entry_->findChild<QLabel*>(QStringLiteral("EntryResult"))
                      ->palette()
                      .color(QPalette::WindowText),
                  QColor(200, 0, 0));
    }

    ASSERT_TRUE(rig.Tune({"F", "7025000", "M", "CWR", "0"}));
    ASSERT_TRUE(StatusShows("Rig: 7.025 MHz CWR")) << Status().toStdString();
    EXPECT_EQ(band_->currentText(), "40");
    EXPECT_EQ(mode_->currentText(), "CW");
    Log("DL1ABC", "599 001");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(LastRow().frequency, "7.025");
    EXPECT_EQ(LastRow().band, "7");
    EXPECT_EQ(LastRow().mode, "CW");

    ASSERT_TRUE(rig.Tune({"F", "14195000", "M", "USB", "2400"}));
    ASSERT_TRUE(StatusShows("Rig: 14.195 MHz USB")) << Status().toStdString();
    EXPECT_EQ(band_->currentText(), "20");
    Log("W1AW", "59 002");
    EXPECT_EQ(LastRow().frequency, "14.195");
    EXPECT_EQ(LastRow().mode, "SSB");
    EXPECT_EQ(LastRow().sent, "59"); // the phone report came with the mode

    // A band picked by hand is logged without the rig's frequency, which
    // lies outside it, and holds until the dial turns.
    band_->setCurrentText(QStringLiteral("15"));
    Log("JA1ABC", "59 003");
    EXPECT_EQ(LastRow().band, "21");
    EXPECT_EQ(LastRow().frequency, "");
    ASSERT_TRUE(rig.Tune({"F", "14200000"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return band_->currentText() == "20"; }, 15000));

    // The frequency reaches both exports: ADIF in MHz, Cabrillo in kHz.
    QTemporaryDir dir;
    ASSERT_TRUE(window_->ExportAdifFile(dir.filePath("log.adi")));
    AnswerCheckWindow("LogCheckGoOn");
    ASSERT_TRUE(window_->ExportCabrilloFile(dir.filePath("log.cbr")));
    QFile adif(dir.filePath("log.adi"));
    QFile cabrillo(dir.filePath("log.cbr"));
    ASSERT_TRUE(adif.open(QIODevice::ReadOnly) && cabrillo.open(QIODevice::ReadOnly));
    const QString adifText = QString::fromUtf8(adif.readAll());
    const QString cabrilloText = QString::fromUtf8(cabrillo.readAll());
    EXPECT_TRUE(adifText.contains("<BAND:3>40m <FREQ:5>7.025 <MODE:2>CW"))
        << adifText.toStdString();
    EXPECT_TRUE(adifText.contains("<FREQ:6>14.195 <MODE:3>SSB")) << adifText.toStdString();
    EXPECT_TRUE(cabrilloText.contains("\r\nQSO:  7025 CW ")) << cabrilloText.toStdString();
    EXPECT_TRUE(cabrilloText.contains("\r\nQSO: 14195 PH ")) << cabrilloText.toStdString();
    EXPECT_TRUE(cabrilloText.contains("\r\nQSO: 21000 PH ")) << cabrilloText.toStdString();

    // Without the rig the log goes on on the last band, with no frequency
    // that might be stale.
    rig.Stop();
    ASSERT_TRUE(StatusShows("Rig lost")) << Status().toStdString();
    EXPECT_TRUE(StatusShows("reconnecting"));
    Log("F5ABC", "59 004");
    EXPECT_EQ(LastRow().call, "F5ABC");
    EXPECT_EQ(LastRow().band, "14");
    EXPECT_EQ(LastRow().frequency, "");

    // Back by itself, the dummy rig on 2 m again.
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(StatusShows("Rig: 145.000 MHz FM", 30000)) << Status().toStdString();
    EXPECT_EQ(band_->currentIndex(), -1);
}

// A daemon of the test's own that answers each connection its own way.
class FakeRigctld {
public:
    using Answer = std::function<void(QTcpSocket* socket, const QByteArray& request, int count)>;

    explicit FakeRigctld(std::vector<Answer> connections) : connections_(std::move(connections)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                const Answer answer =
                    accepted_ < connections_.size() ? connections_[accepted_] : connections_.back();
                ++accepted_;
                auto count = std::make_shared<int>(0);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [=] {
                    const QByteArray request = socket->readAll();
                    answer(socket, request, (*count)++);
                });
            }
        });
    }
    QString Address() const { return QStringLiteral("127.0.0.1:%1").arg(server_.serverPort()); }

private:
    QTcpServer server_;
    std::vector<Answer> connections_;
    std::size_t accepted_ = 0;
};

TEST_F(RigWindow, NonsenseAndSilenceTimeOutWhileTheWindowGoesOn) {
    const auto honest = [](QTcpSocket* s, const QByteArray& request, int) {
        s->write(request.startsWith("+f") ? "get_freq:\nFrequency: 21010000\nRPRT 0\n"
                                          : "get_mode:\nMode: CW\nPassband: 500\nRPRT 0\n");
    };
    FakeRigctld daemon({
        [](QTcpSocket* s, const QByteArray&, int) { s->write("Welcome to my toaster\n"); },
        [](QTcpSocket* s, const QByteArray&, int) { s->write(QByteArray(5000, 'x')); },
        [](QTcpSocket* s, const QByteArray&, int) { s->write("get_freq:\nFrequency: 210"); },
        [](QTcpSocket*, const QByteArray&, int) {},
        // The radio is off at first: the daemon answers, the rig does not.
        [=](QTcpSocket* s, const QByteArray& request, int count) {
            if (count == 0)
                s->write("get_freq:\nRPRT -5\n");
            else
                honest(s, request, count);
        },
    });

    // The event loop's own heartbeat: a window waiting on the socket
    // would stop it for the whole second of a timeout.
    int beats = 0;
    QTimer heart;
    QObject::connect(&heart, &QTimer::timeout, [&] { ++beats; });
    heart.start(10);
    struct Seen {
        RigState state;
        int beats; // since the state before
        QString band;
    };
    std::vector<Seen> seen;
    int lastBeats = 0;
    Open(daemon.Address());
    if (HasFatalFailure())
        return;
    band_->setCurrentText(QStringLiteral("40"));
    const QObject context; // goes before what the connection writes to
    QObject::connect(window_->Rig(), &RigctldClient::StateChanged, &context,
                     [&](const RigState& s) {
                         seen.push_back({s, beats - lastBeats, band_->currentText()});
                         lastBeats = beats;
                     });

    ASSERT_TRUE(StatusShows("Rig: 21.010 MHz CW", 60000)) << Status().toStdString();
    EXPECT_EQ(band_->currentText(), "15");

    std::vector<QString> failures;
    for (const Seen& s : seen) {
        if (s.state.link == RigState::Link::TimedOut) {
            EXPECT_GE(s.beats, 5) << s.state.StatusText().toStdString();
        }
        if (s.state.Failed()) {
            failures.push_back(s.state.StatusText());
            EXPECT_EQ(s.band, "40") << "the operator's band stays while the rig fails";
        }
    }
    const char* expected[] = {
        "Rig bad answer: \"Welcome to my toaster\" in answer to get_freq; reconnecting in 1 s",
        "bytes without an end in answer to get_freq; reconnecting in 2 s",
        "Rig timeout: no whole answer to get_freq within 1 s; reconnecting in 4 s",
        "Rig timeout: no whole answer to get_freq within 1 s; reconnecting in 5 s",
        "Rig error: rigctld answers get_freq with RPRT -5 (communication timed out)",
    };
    ASSERT_EQ(failures.size(), std::size(expected)) << failures.front().toStdString();
    for (std::size_t i = 0; i < failures.size(); ++i)
        EXPECT_TRUE(failures[i].contains(QLatin1String(expected[i]))) << failures[i].toStdString();
}

} // namespace
