#include "windows/SharedLogImport.h"

#include "logbook/SharedLog.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace qarvel {

LogImportReport SharedLogImport::Run(const QByteArray& data, const QString& fileName,
                                      QWidget* parent) {
    LogImportReport report;
    const std::vector<QsoRow> rows = importer_.Rows(data, &report);
    QProgressDialog progress(QStringLiteral("Importing %1 into the shared log...").arg(fileName),
                             QStringLiteral("Cancel"), 0, static_cast<int>(rows.size()), parent);
    progress.setObjectName(QStringLiteral("SharedImportProgress"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(400);
    QEventLoop wait;
    QObject::connect(&shared_, &SharedLog::ImportProgress, &progress,
                     [&](int done, int) { progress.setValue(done); });
    QObject::connect(&progress, &QProgressDialog::canceled, &progress,
                     [this] { shared_.CancelImport(); });
    QObject::connect(&shared_, &SharedLog::ImportFinished, &wait,
                     [&](bool ok, int imported, const QString& error) {
                         report.ok = ok;
                         report.imported = imported;
                         report.error = error;
                         wait.quit();
                     });
    shared_.Import(rows);
    // The window goes on meanwhile; only the worker talks to the server.
    wait.exec();
    return report;
}

} // namespace qarvel
