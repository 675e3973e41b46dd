#include "LogConnection.h"
#include "LogSchema.h"
#include "PluginHost.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStandardPaths>

#include <cstring>

namespace {

void WriteText(zelmar::ShortText& slot, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    const int n = std::min<int>(static_cast<int>(bytes.size()), 255);
    slot.length = static_cast<std::uint8_t>(n);
    std::memcpy(slot.chars, bytes.constData(), static_cast<std::size_t>(n));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qarvel"));
    QApplication::setApplicationDisplayName(QStringLiteral("qarvel"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("qarvel, a contest logging program"));
    parser.addHelpOption();
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("SQLite log file (created when missing)."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption tableOption(QStringLiteral("table"),
                                         QStringLiteral("Log table name (default Log)."),
                                         QStringLiteral("NAME"), QStringLiteral("Log"));
    const QCommandLineOption captionOption(QStringLiteral("caption"),
                                           QStringLiteral("Log name shown in the plug-in's caption."),
                                           QStringLiteral("TEXT"), QStringLiteral("LOG1"));
    const QCommandLineOption continentOption(QStringLiteral("my-continent"),
                                             QStringLiteral("Own continent (default EU)."),
                                             QStringLiteral("CONT"), QStringLiteral("EU"));
    const QCommandLineOption dxccOption(QStringLiteral("my-dxcc"),
                                        QStringLiteral("Own DXCC prefix (default YO)."),
                                        QStringLiteral("PREFIX"), QStringLiteral("YO"));
    parser.addOptions({logOption, tableOption, captionOption, continentOption, dxccOption});
    parser.process(app);

    QString logFile = parser.value(logOption);
    if (logFile.isEmpty()) {
        const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(dataDir);
        logFile = dataDir + QStringLiteral("/log.sqlite");
    }
    const QString table = parser.value(tableOption);

    {
        QString error;
        if (qarvel::OpenLogDatabase(logFile, QStringLiteral("qarvel-log-1"), &error)) {
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("qarvel-log-1"), false);
            qarvel::EnsureLogTable(db, table, &error);
        }
        if (!error.isEmpty()) {
            QMessageBox::critical(nullptr, QStringLiteral("qarvel"), error);
            return 1;
        }
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("qarvel - %1").arg(logFile));
    auto* status = new QLabel(&window);
    window.setCentralWidget(status);
    window.resize(480, 160);

    qarvel::PluginHost host;
    host.LoadFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"));
    QStringList lines;
    for (const auto& p : host.Plugins())
        lines << QStringLiteral("%1 (%2)").arg(p->title, p->kind);
    for (const QString& problem : host.Problems())
        lines << QStringLiteral("Not loaded: %1").arg(problem);
    status->setText(lines.join(QLatin1Char('\n')));
    window.show();

    zelmar::TPluginRecord record{};
    record.Connection = 1;
    WriteText(record.TableName, table);
    WriteText(record.CaptionName, parser.value(captionOption));
    WriteText(record.MyContinent, parser.value(continentOption));
    WriteText(record.MyDXCCPrefix, parser.value(dxccOption));
    if (qarvel::LoadedPlugin* contest = host.FindKind(QStringLiteral("qarvel_contest")))
        contest->Run(0, &record);

    const int rc = app.exec();
    host.ReleaseAll();
    QSqlDatabase::removeDatabase(QStringLiteral("qarvel-log-1"));
    return rc;
}
