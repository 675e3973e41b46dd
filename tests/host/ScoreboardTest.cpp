#include "contest/LiveScoreSource.h"
#include "contest/ScoreboardPoster.h"
#include "app/ScoreboardPasswordStore.h"
#include "WindowFixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QTcpServer>
#include <QTcpSocket>
#include <QXmlStreamReader>
#include <QSettings>
#include <map>
#include <sys/stat.h>

using namespace qarvel;

namespace {

// A scoreboard on 127.0.0.1 that keeps every request and answers 200,
// answers 500, or never answers. Given a login ("user:password"), it first
// asks for it with a Basic challenge, as a real one does.
class FakeScoreboard : public QObject {
public:
    enum class Mode { Ok, Error, Hang };

    explicit FakeScoreboard(Mode mode, QByteArray login = {})
        : mode_(mode), login_(std::move(login)) {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        });
    }
    QString Url() const {
        return QStringLiteral("http://127.0.0.1:%1/post").arg(server_.serverPort());
    }

    std::vector<QByteArray> heads, bodies;

private:
    void Read(QTcpSocket* socket) {
        QByteArray& data = pending_[socket];
        data += socket->readAll();
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = data.left(end);
        qsizetype length = 0;
        for (const QByteArray& line : head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (data.size() < end + 4 + length)
            return;
        heads.push_back(head);
        bodies.push_back(data.mid(end + 4, length));
        data.clear();
        if (mode_ == Mode::Hang)
            return;
        if (!login_.isEmpty() && !head.contains("\r\nAuthorization: Basic " + login_.toBase64())) {
            socket->write("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic "
                          "realm=\"scores\"\r\nContent-Length: 0\r\n\r\n");
            return;
        }
        socket->write(mode_ == Mode::Ok
                          ? "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK"
                          : "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n");
    }

    Mode mode_;
    QByteArray login_;
    QTcpServer server_;
    std::map<QTcpSocket*, QByteArray> pending_;
};

// The breakdown of a posted document: "band/kind" -> figure for all modes,
// "band/kind/MODE" for one.
std::map<QString, QString> Breakdown(const QByteArray& xml, QString* score) {
    std::map<QString, QString> out;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = reader.name().toString();
        if (name == "dynamicresults" || name == "breakdown")
            continue;
        const auto attributes = reader.attributes();
        const QString kind =
            name + (attributes.hasAttribute("type") ? "-" + attributes.value("type").toString() : QString());
        const QString band = attributes.value("band").toString();
        const QString mode = attributes.value("mode").toString();
        const QString text = reader.readElementText();
        if (name == "score")
            *score = text;
        else if (!band.isEmpty())
            out[band + "/" + kind + (mode == "ALL" ? QString() : "/" + mode)] = text;
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return out;
}

class Scoreboard : public qarvel::testing::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        for (const auto& [call, band, received] :
             {std::tuple{"YO5BRZ", "14", "599 BH"}, std::tuple{"DL1ABC", "14", "599 001"},
              std::tuple{"W1AW", "7", "599 002"}, std::tuple{"YO8RIX", "3.5", "599 PH"}})
            Log(call, band, received);
        ASSERT_TRUE(session_->Start());
    }

    void Log(const char* call, const char* band, const char* received, const char* mode = "CW") {
        QsoRow r;
        r.date = "2024-03-09";
        r.time = QString("12:%1:00").arg(++minute_, 2, 10, QChar('0'));
        r.call = call;
        r.band = band;
        r.mode = mode;
        r.sent = "599 BU";
        r.received = received;
        const auto match = Countries().Resolve(call);
        r.dxccPrefix = QString::fromStdString(match->primaryPrefix);
        r.mainPrefix = r.dxccPrefix;
        r.continent = QString::fromStdString(match->continent);
        QString error;
        ASSERT_TRUE(book_->Append(r, &error)) << error.toStdString();
        if (session_->IsStarted())
            session_->Add(r);
    }

    std::unique_ptr<ScoreboardPoster> Poster(const QString& url, bool allowPlainHttp = true) {
        auto poster = std::make_unique<ScoreboardPoster>([this, url, allowPlainHttp] {
            const auto report = LiveScoreReport(*session_, *book_, "YO3ZZZ", "1.0.0");
            return std::optional(
                ScoreboardPoster::Post{{url, "YO3ZZZ", "secret", allowPlainHttp}, *report});
        });
        poster->SetInterval(std::chrono::milliseconds(150));
        poster->SetAnswerTimeout(std::chrono::milliseconds(300));
        return poster;
    }

    int minute_ = 0;
};

TEST_F(Scoreboard, PostsTheStatisticsWindowsFiguresOnlyWhenTheyChange) {
    FakeScoreboard board(FakeScoreboard::Mode::Ok);
    auto poster = Poster(board.Url());
    QSignalSpy finished(poster.get(), &ScoreboardPoster::Finished);
    poster->Start();
    ASSERT_TRUE(finished.wait(5000));
    ASSERT_EQ(board.bodies.size(), 1u);
    EXPECT_TRUE(board.heads[0].startsWith("POST /post HTTP/1.1"));
    // Not asked for it, the scoreboard is given no login.
    EXPECT_FALSE(board.heads[0].contains("Authorization"));
    EXPECT_TRUE(poster->Status().contains("200 OK")) << poster->Status().toStdString();

    // Every figure of the grid, band by band and in total, is in the body.
    QString score;
    const auto posted = Breakdown(board.bodies[0], &score);
    const auto grid = session_->GridRows();
    ASSERT_EQ(grid.size(), 8u);
    int compared = 0;
    for (std::size_t r = 1; r < grid.size(); ++r) {
        const QString band = grid[r][0] == "Total" ? "total" : grid[r][0];
        const char* kinds[] = {"qso", "point", "mult-county", "mult-dxcc"};
        for (int c = 1; c <= 4; ++c, ++compared) {
            const QString cell = grid[r][c].isEmpty() ? "0" : grid[r][c];
            EXPECT_EQ(posted.at(band + "/" + kinds[c - 1]), cell) << band.toStdString();
        }
    }
    EXPECT_EQ(compared, 28);
    EXPECT_EQ(posted.at("total/qso"), "4");
    EXPECT_EQ("Score: " + posted.at("total/point") + "*(" + posted.at("total/mult-county") + "+" +
                  posted.at("total/mult-dxcc") + ")=" + score,
              session_->ScoreLineText());
    EXPECT_TRUE(board.bodies[0].contains("<call>YO3ZZZ</call>"));
    EXPECT_TRUE(board.bodies[0].contains("<class ops=\"\" mode=\"CW\" power=\"\" bands=\"ALL\""));

    // Unchanged: the following rounds post nothing.
    QTest::qWait(600);
    EXPECT_EQ(board.bodies.size(), 1u);
    Log("F5VHY", "21", "599 003");
    Log("F5VHY", "21", "59 003", "SSB");
    Log("F5VHY", "21", "59 003", "SSB"); // a duplicate counts nothing
    ASSERT_TRUE(finished.wait(5000));
    ASSERT_EQ(board.bodies.size(), 2u);
    const auto later = Breakdown(board.bodies[1], &score);
    EXPECT_EQ(later.at("total/qso"), "6");
    // By mode: the QSOs of each band and mode, adding up to the grid's.
    EXPECT_EQ(later.at("15/qso/CW"), "1");
    EXPECT_EQ(later.at("15/qso/PH"), "1");
    EXPECT_EQ(later.at("20/qso/CW"), "2");
    EXPECT_EQ(later.at("total/qso/CW"), "5");
    EXPECT_EQ(later.at("total/qso/PH"), "1");
    EXPECT_EQ(later.count("20/qso/PH"), 0u);
}

TEST_F(Scoreboard, AnErrorNoAnswerOrRefusalIsShownAndTriedAgain) {
    FakeScoreboard failing(FakeScoreboard::Mode::Error);
    FakeScoreboard hanging(FakeScoreboard::Mode::Hang);
    QString refused;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        refused = QStringLiteral("http://127.0.0.1:%1/post").arg(closed.serverPort());
    }
    const std::pair<QString, const char*> cases[] = {{failing.Url(), "answered 500"},
                                                     {hanging.Url(), "no answer"},
                                                     {refused, "cannot be reached"}};
    for (const auto& [url, status] : cases) {
        auto poster = Poster(url);
        QSignalSpy finished(poster.get(), &ScoreboardPoster::Finished);
        poster->Start();
        ASSERT_TRUE(finished.wait(5000)) << status;
        EXPECT_TRUE(poster->Status().contains(QLatin1String(status)))
            << poster->Status().toStdString();
        // Not taken: the same report goes again at the next round.
        ASSERT_TRUE(finished.wait(5000)) << status;
    }
    EXPECT_GE(failing.bodies.size(), 2u);
    EXPECT_GE(hanging.bodies.size(), 2u);
}

TEST_F(Scoreboard, TheLoginAnswersTheChallengeAndGoesOverPlainHttpOnlyWhenAllowed) {
    FakeScoreboard board(FakeScoreboard::Mode::Ok, "YO3ZZZ:secret");
    {
        // Without the operator's tick an http address is posted nothing.
        auto poster = Poster(board.Url(), false);
        QSignalSpy finished(poster.get(), &ScoreboardPoster::Finished);
        poster->PostNow();
        ASSERT_EQ(finished.count(), 1);
        EXPECT_TRUE(poster->Status().contains("plain http")) << poster->Status().toStdString();
        QTest::qWait(200);
        EXPECT_TRUE(board.heads.empty());
    }
    {
        auto poster = Poster(board.Url());
        QSignalSpy finished(poster.get(), &ScoreboardPoster::Finished);
        poster->PostNow();
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_TRUE(poster->Status().contains("200 OK")) << poster->Status().toStdString();
        ASSERT_EQ(board.heads.size(), 2u);
        EXPECT_FALSE(board.heads[0].contains("Authorization"));
        EXPECT_TRUE(board.heads[1].contains("Authorization: Basic " +
                                            QByteArray("YO3ZZZ:secret").toBase64()));
    }
    // A login the scoreboard refuses is offered once per post, and said so.
    FakeScoreboard other(FakeScoreboard::Mode::Ok, "YO3ZZZ:another");
    auto poster = Poster(other.Url());
    QSignalSpy finished(poster.get(), &ScoreboardPoster::Finished);
    poster->PostNow();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(poster->Status().contains("login was refused")) << poster->Status().toStdString();
    EXPECT_EQ(other.heads.size(), 2u);
}

// No secret store runs here (the session bus is out of reach): the
// password goes into a file only the user reads, and an older qarvel's
// plain-text password leaves the settings.
TEST(ScoreboardPassword, WithoutASecretStoreItIsKeptInAFileOnlyTheUserReads) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qarvel-test-bus");
    QTemporaryDir dir;
    const QString settingsPath = dir.filePath("qarvel/qarvel-station.conf");
    {
        QSettings old(settingsPath, QSettings::IniFormat);
        old.setValue("Scoreboard/Url", "https://scores.example.org/post");
        old.setValue("Scoreboard/User", "YO3ZZZ");
        old.setValue("Scoreboard/Password", "old secret");
    }
    const QString file = ScoreboardPasswordStore::FallbackPathBeside(settingsPath);
    {
        ScoreboardPasswordStore store(settingsPath, file);
        QSignalSpy saved(&store, &ScoreboardPasswordStore::Saved);
        QSignalSpy notice(&store, &ScoreboardPasswordStore::Notice);
        store.Load();
        EXPECT_EQ(store.Password(), "old secret");
        ASSERT_TRUE(saved.wait(10000));
        EXPECT_TRUE(saved[0][0].toBool()) << saved[0][1].toString().toStdString();
        ASSERT_EQ(notice.count(), 1);
        EXPECT_TRUE(notice[0][0].toString().contains("scoreboard-password")) << notice[0][0].toString().toStdString();
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const QSettings settings(settingsPath, QSettings::IniFormat);
    EXPECT_FALSE(settings.contains("Scoreboard/Password"));
    EXPECT_EQ(LoadScoreboardSettings(settingsPath).url, "https://scores.example.org/post");
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_FALSE(QSettings(settingsPath, QSettings::IniFormat).allKeys().join(' ').contains("secret"));

    // The next run reads it back; an emptied password is gone.
    ScoreboardPasswordStore next(settingsPath, file);
    QSignalSpy loaded(&next, &ScoreboardPasswordStore::Loaded);
    next.Load();
    ASSERT_TRUE(loaded.count() == 1 || loaded.wait(10000));
    EXPECT_EQ(next.Password(), "old secret");
    QSignalSpy saved(&next, &ScoreboardPasswordStore::Saved);
    next.Save({});
    ASSERT_TRUE(saved.wait(10000));
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
