// Renders the statistics window on a generated contest log into a PNG:
//   statistics_window_shot OUT.png [QSO count] [host folder]
// Run under xvfb-run so that the window system draws it as an operator
// sees it.
#include "reference/ContestMix.h"
#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"
#include "plugin/Exports.h"
#include "plugin/ModuleReferences.h"
#include "plugin/ShortText.h"
#include "ui/HostFolder.h"
#include "ui/TfmMainForm.h"

#include <QApplication>
#include <QScreen>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [QSO count] [host folder]\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 300;
    const std::string hostFolder = argc > 3
                                       ? std::string(argv[3]) + "/"
                                       : QCoreApplication::applicationDirPath().toStdString() + "/";

    QTemporaryDir dir;
    QString error;
    const QString connection = QStringLiteral("qarvel-log-1");
    if (!qarvel::OpenLogDatabase(dir.filePath(QStringLiteral("log.sqlite")), connection, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        if (!qarvel::EnsureLogTable(db, QStringLiteral("Log"), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        db.transaction();
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("INSERT INTO Log (CallSign, DigiBand, QSOMode, Continent, "
                           "QSOReportRecived, DXCCPrefix, MainPrefix) VALUES (?,?,?,?,?,?,?)"));
        for (const qarvel::MixQSO& m :
             qarvel::GenerateContestMix(static_cast<std::size_t>(count))) {
            for (const std::string* v :
                 {&m.call, &m.band, &m.mode, &m.continent, &m.exchange, &m.prefix, &m.mainPrefix})
                q.addBindValue(QString::fromStdString(*v));
            if (!q.exec()) {
                std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                return 1;
            }
        }
        db.commit();
    }

    zelmar::SetHostFolderForTesting(hostFolder);
    zelmar::TPluginRecord record{};
    record.Connection = 1;
    zelmar::WriteShortText(record.TableName, "Log");
    zelmar::WriteShortText(record.CaptionName, "LOG1");
    zelmar::WriteShortText(record.MyContinent, "EU");
    zelmar::WriteShortText(record.MyDXCCPrefix, "YO");
    _Run(0, &record);
    zelmar::TfmMainForm* window = zelmar::CurrentWindow();
    if (!window)
        return 1;
    window->move(20, 20);

    int rc = 0;
    QTimer::singleShot(800, [&] {
        const QPixmap shot = window->screen()->grabWindow(window->winId());
        if (!shot.save(out))
            rc = 1;
        _Release();
        QApplication::quit();
    });
    app.exec();
    QSqlDatabase::removeDatabase(connection);
    return rc;
}
