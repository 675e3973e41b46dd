#include "app/SharedLogSession.h"

#include "windows/RateWindow.h"
#include "windows/StationFinder.h"

#include "logbook/LogBook.h"
#include "logbook/Outbox.h"
#include "logbook/SharedLogAddress.h"
#include "ui/ErrorReporter.h"
#include "windows/LogTableModel.h"
#include "windows/LogViewFollower.h"
#include "windows/MainWindow.h"
#include "windows/SharedLogStatus.h"

#include <QFileInfo>
#include <QStatusBar>

namespace qarvel {

SharedLogSession::SharedLogSession(const QString& location, const QString& table, LogBook& log,
                                   ContestSession& session, MainWindow& window)
    : location_(location), table_(table),
      copyPath_(SharedLogAddress(location, table).CopyPath()), log_(log), window_(window),
      copy_(log.ConnectionName(), table), lock_(copyPath_ + QStringLiteral(".lock")) {
    shared_ = std::make_unique<SharedLog>(location_, table_, copyPath_);
    scoring_ = std::make_unique<LiveScoring>(*shared_, session, log_);
}

SharedLogSession::~SharedLogSession() {
    log_.SetWritten({});
    log_.SetSharedCopy(nullptr);
    window_.SetSharedLog(nullptr);
    scoring_.reset();
    shared_.reset();
}

bool SharedLogSession::Start(QString* error) {
    lock_.setStaleLockTime(0);
    if (!lock_.tryLock(0)) {
        *error = QStringLiteral("Another qarvel on this computer already works on this shared log "
                                "(its copy is %1). Use that one, or end it first.")
                     .arg(copyPath_);
        return false;
    }
    log_.SetSharedCopy(&copy_);
    log_.SetWritten([this] { shared_->Kick(); });
    window_.SetSharedLog(shared_.get());
    TakeOldOutbox();

    auto* status = new SharedLogStatus(*shared_, &window_);
    window_.statusBar()->addPermanentWidget(status);
    // The view shows every position's rows, each changed in place, so the
    // operator's selection and place in it stay.
    auto* follower = new LogViewFollower(log_, *window_.LogModel(), window_.LogView(), &window_);
    follower->Follow(*shared_);
    // The rate counts another position's QSO as it arrives, and reads the
    // log again only when rows change elsewhere.
    RateWindow* rate = window_.Rate();
    QObject::connect(shared_.get(), &SharedLog::RowArrived, rate,
                     [rate](qint64, const QsoRow& row) { rate->AddQso(row); });
    QObject::connect(shared_.get(), &SharedLog::RowChanged, rate, &RateWindow::Reload);
    QObject::connect(shared_.get(), &SharedLog::RowRemoved, rate, &RateWindow::Reload);
    QObject::connect(shared_.get(), &SharedLog::Rebuilt, rate, [rate](bool changed) {
        if (changed)
            rate->Reload();
    });
    // Check partial and the band maps know the other positions' calls.
    StationFinder* finder = window_.Finder();
    QObject::connect(shared_.get(), &SharedLog::RowArrived, finder,
                     [finder](qint64, const QsoRow& row) { finder->TakeQso(row); });
    QObject::connect(shared_.get(), &SharedLog::RowChanged, finder, &StationFinder::ReloadLog);
    QObject::connect(shared_.get(), &SharedLog::RowRemoved, finder, &StationFinder::ReloadLog);
    QObject::connect(shared_.get(), &SharedLog::Rebuilt, finder, [finder](bool changed) {
        if (changed)
            finder->ReloadLog();
    });
    QObject::connect(shared_.get(), &SharedLog::SideChanged, &window_,
                     &MainWindow::TakeLogStation);
    QObject::connect(shared_.get(), &SharedLog::Warning, &window_,
                     [](const QString& text) { zelmar::ReportError(text); });
    QObject::connect(shared_.get(), &SharedLog::RefusedChanged, &window_,
                     [this](const QStringList& refused) {
                         if (!refused.isEmpty())
                             window_.statusBar()->showMessage(
                                 QStringLiteral("The server refused %1").arg(refused.last()),
                                 30000);
                     });
    shared_->Start();
    return true;
}

void SharedLogSession::TakeOldOutbox() {
    const QString path = Outbox::PathFor(location_, table_);
    if (!QFileInfo::exists(path))
        return;
    Outbox outbox(path);
    const std::vector<QsoRow> rows = outbox.Rows();
    if (rows.empty())
        return;
    QString error;
    if (!log_.AppendAll(rows, {}, &error) || !outbox.Remove(rows, &error))
        zelmar::ReportError(QStringLiteral("The QSOs waiting in %1 could not be taken over: %2")
                                .arg(path, error));
}

} // namespace qarvel
