// committing-logger LOG BACKUPS: opens LOG as qarvel opens its log and logs
// QSOs through the same append as the entry line's Enter, numbered on from
// the rows the log holds, until it is killed. Each QSO is reported on stdout
// once its commit has returned; every 25th commit is followed by a backup
// into the folder BACKUPS.
#include "logbook/LogBackups.h"
#include "logbook/LogBook.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>
#include <unistd.h>

using namespace qarvel;

namespace {

void Say(const QByteArray& line) {
    // Unbuffered: a line written is a line the parent can read after a kill.
    const QByteArray text = line + '\n';
    if (::write(STDOUT_FILENO, text.constData(), static_cast<size_t>(text.size())) != text.size())
        std::_Exit(3);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    QString error;
    if (!LogBook::Open(path, QStringLiteral("qarvel-log-1"), QStringLiteral("Log"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    LogBook log(QStringLiteral("qarvel-log-1"), QStringLiteral("Log"));
    LogBackups backups(path, QString::fromLocal8Bit(argv[2]));
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (int n = log.Count();; ++n) {
        QsoRow q;
        q.call = QStringLiteral("DL%1ZZ").arg(n);
        q.band = QStringLiteral("14");
        q.mode = QStringLiteral("CW");
        if (!log.Append(q, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        Say("committed " + q.call.toLatin1());
        if (n % 25 == 24 &&
            backups.Take(log.Database(), start.addSecs(n), &error) != LogBackups::Result::Taken) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
}
