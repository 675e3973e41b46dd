// The time from a QSO committed at one position to the figures at another:
// `qarvel --db URL --follow` runs as the second position on a server of its
// own, and each QSO written here through the log's append is timed from its
// commit until the follower prints the score line that counts it. Prints
// the median, the 99th percentile and the worst of SAMPLES (default 300).
#include "PostgresServer.h"
#include "logbook/LogBook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

using zelmar::testing::PostgresServer;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int samples = argc > 1 ? std::max(10, atoi(argv[1])) : 300;
    PostgresServer& server = PostgresServer::Shared();
    if (!server.Running()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.Failure()));
        return 1;
    }
    QString error;
    const QString url = server.SocketUrl(server.CreateDatabase(&error));
    const QString name = QStringLiteral("latency-writer");
    if (!qarvel::LogBook::Open(url, name, QStringLiteral("Log"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::vector<double> ms;
    {
        qarvel::LogBook log(name, QStringLiteral("Log"));
        QTemporaryDir home;
        QProcess follower;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        follower.setProcessEnvironment(env);
        follower.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../qarvel"),
                       {QStringLiteral("--db"), url, QStringLiteral("--follow")});
        if (!follower.waitForReadyRead(30000) || !follower.canReadLine()) {
            std::fprintf(stderr, "the follower printed no score line\n");
            return 1;
        }
        follower.readAll();
        for (int i = 0; i < samples; ++i) {
            qarvel::QsoRow q;
            q.date = QStringLiteral("2024-03-09");
            q.time = QStringLiteral("12:%1:%2").arg(i / 60 % 60, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
            q.call = QStringLiteral("DL%1ZZ").arg(i);
            q.band = QStringLiteral("14");
            q.mode = QStringLiteral("CW");
            q.received = QStringLiteral("599 %1").arg(i % 40 + 1);
            q.dxccPrefix = q.mainPrefix = QStringLiteral("DL");
            q.continent = QStringLiteral("EU");
            q.position = QStringLiteral("BENCH");
            if (!log.Append(q, &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            QElapsedTimer since;
            since.start();
            while (!follower.canReadLine() && since.elapsed() < 5000)
                follower.waitForReadyRead(5000);
            ms.push_back(static_cast<double>(since.nsecsElapsed()) / 1e6);
            follower.readLine();
            // Spaced like a busy station's QSOs, not one burst.
            QThread::msleep(20);
        }
        follower.terminate();
        follower.waitForFinished(10000);
    }
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double p) {
        return ms[std::min(ms.size() - 1, static_cast<std::size_t>(p * static_cast<double>(ms.size())))];
    };
    std::printf("commit at one position -> figures at another, %zu QSOs: p50 %.1f ms, p99 %.1f ms, "
                "worst %.1f ms\n",
                ms.size(), at(0.50), at(0.99), ms.back());
    return 0;
}
