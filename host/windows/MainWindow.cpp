#include "windows/MainWindow.h"

#include "app/StationOfLog.h"
#include "formats/AdifWriter.h"
#include "formats/CabrilloWriter.h"
#include "formats/LogFileImporter.h"
#include "contest/ContestSession.h"
#include "contest/LogCheck.h"
#include "logbook/SharedLog.h"
#include "logbook/StationStore.h"
#include "logbook/SubmissionStore.h"
#include "reference/MasterScp.h"
#include "windows/LogCheckDialog.h"
#include "windows/SubmissionDialog.h"
#include "app/ScoreboardPasswordStore.h"
#include "logbook/LogBook.h"
#include "logbook/LogConnection.h"
#include "windows/EntryFocusKeeper.h"
#include "windows/KeysWindow.h"
#include "windows/LogCorrectionFlow.h"
#include "windows/LogTableModel.h"
#include "windows/QsoEntryLine.h"
#include "windows/RateWindow.h"
#include "windows/SummaryWindow.h"
#include "contest/ContestSummary.h"
#include "windows/ScreenFit.h"
#include "windows/SharedLogImport.h"
#include "rig/RigctldClient.h"
#include "contest/ScoreLine.h"
#include "windows/StationDialog.h"
#include "keyer/KeyerDialog.h"
#include "keyer/MessageBar.h"
#include "keyer/SendingControl.h"
#include "logbook/LocalSerialNumbers.h"
#include "logbook/SerialNumbers.h"
#include "windows/StationFinder.h"
#include "ui/ErrorReporter.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSaveFile>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace qarvel {

namespace {

bool SaveFile(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

// What the operator should know besides the count: the lines left out, the
// details not stored, a header naming another station than the window's.
QString ImportNotes(const LogImportReport& report, const QString& ownCall) {
    QStringList notes;
    if (!report.skipped.empty())
        notes << QStringLiteral("%1 malformed %2 were skipped (see details).")
                     .arg(report.skipped.size())
                     .arg(report.format == QLatin1String("Cabrillo") ? QStringLiteral("lines")
                                                                     : QStringLiteral("records"));
    if (!report.warning.isEmpty())
        notes << QStringLiteral("But %1.").arg(report.warning);
    if (!report.station.isEmpty() && report.station != ownCall)
        notes << QStringLiteral("The log is %1's; this window scores it as %2 (Station > "
                                "Settings).")
                     .arg(report.station, ownCall.isEmpty() ? QStringLiteral("no call")
                                                            : ownCall);
    return notes.join(QLatin1Char('\n'));
}

} // namespace

MainWindow::MainWindow(ContestSession& session, const CountryFile* countries, LogBook& log,
                       const StationSettings& station, const QString& logTitle, QWidget* parent)
    : QMainWindow(parent), session_(session), countries_(countries), log_(log), station_(station) {
    setObjectName(QStringLiteral("QarvelMainWindow"));
    setWindowTitle(QStringLiteral("qarvel - %1").arg(LogLocationShown(logTitle)));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    model_ = new LogTableModel(log_, this);

    view_ = new QTableView(central);
    view_->setObjectName(QStringLiteral("LogTable"));
    view_->setModel(model_);
    // The module counts what is in the log; edits here would pass it by.
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setAlternatingRowColors(true);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    // Sized once from the widest text expected, never from the rows.
    for (int c = 0; c < model_->columnCount(); ++c)
        view_->setColumnWidth(
            c, std::max(view_->fontMetrics().horizontalAdvance(LogTableModel::SampleText(c)),
                        view_->horizontalHeader()->sectionSizeHint(c)) +
                   12);
    layout->addWidget(view_, 1);

    entry_ = new QsoEntryLine(session_, countries_, log_, central);
    layout->addWidget(entry_);
    auto* messageBar = new MessageBar(central);
    layout->addWidget(messageBar);
    setCentralWidget(central);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("LogCount"));
    statusBar()->addPermanentWidget(count_);
    rigStatus_ = new QLabel(this);
    rigStatus_->setObjectName(QStringLiteral("RigStatus"));
    rigStatus_->hide();
    statusBar()->addPermanentWidget(rigStatus_);
    rig_ = new RigctldClient(this);
    sending_ = new SendingControl(*entry_, *messageBar, *statusBar(), this);
    if (log_.Database().driverName() == QLatin1String("QSQLITE"))
        SetSerialNumbers(new LocalSerialNumbers(log_, this));
    connect(rig_, &RigctldClient::StateChanged, this, &MainWindow::ShowRigState);
    finder_ = new StationFinder(session_, countries_, log_, *entry_, *rig_, *this);
    // A grabbed spot is worked in S&P; in Run the operator's own QSOs stay
    // off the band map.
    finder_->SetRunning(sending_->Run());
    connect(sending_, &SendingControl::SetChanged, finder_, &StationFinder::SetRunning);
    connect(finder_, &StationFinder::SearchAndPounceRequested, sending_, [this] {
        if (sending_->Run())
            sending_->SwitchSet();
    });

    focus_ = new EntryFocusKeeper(this, entry_);
    setFocusProxy(entry_);
    corrections_ = new LogCorrectionFlow(log_, *model_, session_, countries_, view_, this);
    connect(corrections_, &LogCorrectionFlow::Finished, this, &MainWindow::ReturnToEntry);
    rate_ = new RateWindow(log_, this);
    connect(entry_, &QsoEntryLine::Logged, rate_, &RateWindow::AddQso);
    connect(corrections_, &LogCorrectionFlow::Finished, rate_, &RateWindow::Reload);
    connect(corrections_, &LogCorrectionFlow::Finished, finder_, &StationFinder::ReloadLog);
    connect(corrections_, &LogCorrectionFlow::Finished, entry_, &QsoEntryLine::ForgetLoggedQso);
    connect(corrections_, &LogCorrectionFlow::Note, this,
            [this](const QString& text) { statusBar()->showMessage(text, 5000); });
    connect(entry_, &QsoEntryLine::Logged, this,
            [this](const QsoRow& row, int, qint64 id) {
                model_->Append(id, row);
                view_->scrollToBottom();
            });
    // Whatever changed the rows (a QSO, an import, a correction) recounts.
    const auto showCount = [this] {
        count_->setText(QStringLiteral("%1 QSOs").arg(model_->rowCount()));
    };
    connect(model_, &QAbstractItemModel::modelReset, this, showCount);
    connect(model_, &QAbstractItemModel::rowsInserted, this, showCount);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, showCount);
    BuildMenus();
    SetStation(station_);
    ReloadLog();
    resize(SizeFittingScreen(this, QSize(1000, 640)));
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Import ADIF or Cabrillo..."), this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Import a log"), {},
            QStringLiteral("Logs (*.adi *.adif *.cbr *.log);;ADIF files (*.adi *.adif);;"
                           "Cabrillo files (*.cbr *.log);;All files (*)"));
        if (!path.isEmpty())
            ImportLogFile(path);
        ReturnToEntry();
    });
    file->addAction(QStringLiteral("Export &ADIF..."), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export ADIF"),
                                                          QStringLiteral("log.adi"),
                                                          QStringLiteral("ADIF files (*.adi)"));
        if (!path.isEmpty())
            ExportAdifFile(path);
        ReturnToEntry();
    });
    file->addAction(QStringLiteral("Export &Cabrillo..."), this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("Export Cabrillo"), CabrilloFileName(station_.call),
            QStringLiteral("Cabrillo files (*.cbr *.log)"));
        if (!path.isEmpty())
            ExportCabrilloFile(path);
        ReturnToEntry();
    });
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), this, [this] { close(); });
    quit->setShortcut(QKeySequence::Quit);

    QMenu* station = menuBar()->addMenu(QStringLiteral("&Station"));
    station->addAction(QStringLiteral("&Settings..."), this, [this] {
        EditStation();
        ReturnToEntry();
    });

    QMenu* logMenu = menuBar()->addMenu(QStringLiteral("&Log"));
    logMenu->addAction(QStringLiteral("&Correct my last QSO..."), QKeySequence(Qt::ALT | Qt::Key_E),
                       corrections_, &LogCorrectionFlow::EditLast);
    logMenu->addAction(QStringLiteral("&Delete my last QSO..."), QKeySequence(Qt::ALT | Qt::Key_D),
                       corrections_, &LogCorrectionFlow::DeleteLast);
    logMenu->addAction(QStringLiteral("Correct the selected QSO..."), this,
                       [this] { corrections_->EditRow(view_->currentIndex().row()); });
    logMenu->addAction(QStringLiteral("Delete the selected QSO..."), this,
                       [this] { corrections_->DeleteRow(view_->currentIndex().row()); });
    logMenu->addAction(QStringLiteral("&Undo the last correction"), QKeySequence(Qt::ALT | Qt::Key_U),
                       corrections_, &LogCorrectionFlow::Undo);
    logMenu->addAction(QStringLiteral("To the log &view"), QKeySequence(Qt::CTRL | Qt::Key_F6), this, [this] {
        view_->setFocus();
        // The QSO an operator goes to correct is nearly always the newest.
        if (model_->rowCount() > 0) {
            const QModelIndex newest = model_->index(model_->rowCount() - 1, 0);
            // Through the selection model: the view's own selection follows
            // the keyboard's modifiers, and Ctrl (held for this key) toggles.
            view_->selectionModel()->setCurrentIndex(
                newest, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            view_->scrollTo(newest);
        }
    });
    logMenu->addSeparator();
    logMenu->addAction(QStringLiteral("Su&bmission details..."), this, [this] {
        EditSubmission();
        ReturnToEntry();
    });

    QMenu* contest = menuBar()->addMenu(QStringLiteral("&Contest"));
    contest->addAction(QStringLiteral("&Statistics window"), QKeySequence(Qt::CTRL | Qt::Key_F7), this,
                       [this] {
                           ShowStatistics();
                           ReturnToEntry();
                       });
    contest->addAction(QStringLiteral("&Multipliers"), QKeySequence(Qt::CTRL | Qt::Key_F8), this, [this] {
        if (!session_.IsStarted())
            ShowStatistics();
        session_.OpenMultipliers();
        ReturnToEntry();
    });
    contest->addAction(QStringLiteral("&Recalc"), QKeySequence(Qt::CTRL | Qt::Key_F9), this, [this] {
        if (!session_.Recalc())
            ShowStatistics();
        rate_->Reload();
        ReturnToEntry();
    });
    contest->addSeparator();
    contest->addAction(QStringLiteral("R&ate window"), QKeySequence(Qt::CTRL | Qt::Key_R), this,
                       [this] {
                           rate_->show();
                           rate_->raise();
                           ReturnToEntry();
                       });
    contest->addAction(QStringLiteral("S&ummary..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y),
                       this, [this] { ShowSummary(); });

    sending_->FillMenu(menuBar()->addMenu(QStringLiteral("Se&nd")), [this] {
        KeyerDialog dialog(sending_->Settings(), sending_->Messages(), this);
        if (dialog.exec() == QDialog::Accepted) {
            if (!dialog.Settings().Save(StationSettingsPath()) ||
                !dialog.Messages().Save(StationSettingsPath()))
                zelmar::ReportError(QStringLiteral("The keyer settings could not be saved in %1")
                                        .arg(StationSettingsPath()));
            sending_->Apply(dialog.Settings(), dialog.Messages());
        }
        ReturnToEntry();
    });

    finder_->AddMenu(menuBar());
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Keys"), QKeySequence(Qt::CTRL | Qt::Key_F1), this,
                    [this] { ShowKeys(); });
}

void MainWindow::ShowKeys() {
    QList<QAction*> actions;
    for (QAction* menu : menuBar()->actions())
        if (menu->menu())
            actions << menu->menu()->actions();
    for (QAction* a : entry_->actions())
        if (!actions.contains(a))
            actions << a;
    KeysWindow keys(actions, this);
    keys.exec();
    ReturnToEntry();
}

void MainWindow::SetSerialNumbers(SerialNumbers* serials) {
    serials_ = serials;
    entry_->SetSerialNumbers(serials_);
    if (!serials_)
        return;
    // Only trouble is shown: a server that hands out no numbers, a count
    // that could not be stored.
    auto* status = findChild<QLabel*>(QStringLiteral("SerialStatus"));
    if (!status) {
        status = new QLabel(this);
        status->setObjectName(QStringLiteral("SerialStatus"));
        QPalette p = status->palette();
        p.setColor(QPalette::WindowText, QColor(200, 0, 0));
        status->setPalette(p);
        status->hide();
        statusBar()->addPermanentWidget(status);
    }
    connect(serials_, &SerialNumbers::StatusChanged, status,
            [status](const QString& text, bool failed) {
                status->setText(text);
                status->setVisible(failed);
            });
}

void MainWindow::ReturnToEntry() {
    focus_->Reclaim();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ReturnToEntry();
}

void MainWindow::ShowStatistics() {
    session_.SetStation(station_, log_.Table());
    session_.Start();
}

void MainWindow::ReloadLog() {
    QString error;
    if (!model_->Reload(&error))
        zelmar::ReportError(error);
    view_->scrollToBottom();
    if (rate_)
        rate_->Reload();
    if (finder_)
        finder_->ReloadLog();
}

void MainWindow::ShowSummary() {
    if (!summary_) {
        summary_ = new SummaryWindow(
            [this](QString* error) {
                // The grid and score line are the statistics window's.
                if (!session_.IsStarted())
                    ShowStatistics();
                return ContestSummary::FromLog(
                    log_, session_, station_,
                    QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"), error);
            },
            windowTitle().section(QStringLiteral(" - "), 1), this);
    }
    summary_->Refresh();
    summary_->show();
    summary_->raise();
    summary_->activateWindow();
}

void MainWindow::SetStation(const StationSettings& station) {
    station_ = station;
    entry_->SetStation(station_);
    sending_->SetStation(station_);
    corrections_->SetPosition(station_.position);
    rig_->SetAddress(RigAddress::Parse(station_.rig));
    finder_->SetStation(station_);
    session_.SetStation(station_, log_.Table());
    statusBar()->showMessage(station_.IsSet()
                                 ? QStringLiteral("%1 (%2, %3)")
                                       .arg(station_.call, station_.dxccPrefix, station_.continent)
                                 : QStringLiteral("Own call not set: Station > Settings"));
}

void MainWindow::ShowRigState(const RigState& state) {
    entry_->FollowRig(state);
    rigStatus_->setText(state.StatusText());
    rigStatus_->setVisible(state.link != RigState::Link::Off);
    QPalette p = rigStatus_->palette();
    p.setColor(QPalette::WindowText,
               state.Failed() ? QColor(200, 0, 0) : palette().color(QPalette::WindowText));
    rigStatus_->setPalette(p);
}

void MainWindow::EditStation() {
    StationDialog dialog(station_, countries_, this);
    dialog.SetCountyCheck(&entry_->Check());
    dialog.SetLogNote(QStringLiteral(
        "The call, DXCC prefix, continent and what is sent are kept with this log, and the log "
        "is rescored with them. New logs start with them too."));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const StationSettings station = dialog.Station();
    QString error;
    if (!StationOfLog::Keep(log_, station, &error))
        zelmar::ReportError(error);
    else if (shared_)
        shared_->PublishSide(); // every position works as the log's station
    // The settings give the next new log its station.
    if (!SaveStationSettings(station))
        zelmar::ReportError(QStringLiteral("The station settings could not be saved in %1")
                                .arg(StationSettingsPath()));
    SetStation(station);
    if (session_.IsStarted()) {
        session_.HandOverStation();
        session_.Recalc();
    }
    statusBar()->showMessage(
        QStringLiteral("%1 (%2, %3) is this log's station; the log was rescored as %1.")
            .arg(station_.call, station_.dxccPrefix, station_.continent));
}

LogImportReport MainWindow::ImportLogFile(const QString& path) {
    LogImportReport report;
    QFile file(path);
    if (!countries_) {
        report.error = QStringLiteral("No country file to resolve the calls with");
    } else if (!file.open(QIODevice::ReadOnly)) {
        report.error = file.errorString();
    } else if (shared_) {
        const QByteArray data = file.readAll();
        const LogFileImporter importer(*countries_);
        report = SharedLogImport(*shared_, importer).Run(data, QFileInfo(path).fileName(), this);
        if (report.ok)
            LogFileImporter::Finish(data, log_, &report);
    } else {
        QProgressDialog progress(QStringLiteral("Importing %1...").arg(QFileInfo(path).fileName()),
                                 QStringLiteral("Cancel"), 0, 100, this);
        // Application-modal: a recount from the statistics window must not
        // read the log while the import's transaction is open.
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(400);
        report = LogFileImporter(*countries_).Import(file.readAll(), log_, [&](int done, int total) {
            if (done % 50 == 0 || done == total) {
                progress.setMaximum(total);
                progress.setValue(done);
            }
            return !progress.wasCanceled();
        });
    }
    if (!report.ok) {
        zelmar::ReportError(
            QStringLiteral("Nothing was imported from %1: %2").arg(path, report.error));
        return report;
    }
    ReloadLog();
    entry_->RefreshModes();
    session_.Recalc();

    QMessageBox box(report.skipped.empty() && report.warning.isEmpty() ? QMessageBox::Information
                                                                       : QMessageBox::Warning,
                    QStringLiteral("Import %1").arg(report.format),
                    QStringLiteral("Imported %1 QSOs from %2.").arg(report.imported).arg(path),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ImportReport"));
    box.setInformativeText(ImportNotes(report, station_.call));
    if (!report.skipped.empty())
        box.setDetailedText(report.skipped.join(QLatin1Char('\n')));
    box.exec();
    ReturnToEntry();
    return report;
}

bool MainWindow::ExportAdifFile(const QString& path) {
    QString error;
    const auto rows = log_.ReadAll(&error);
    if (rows && SaveFile(path, WriteAdif(*rows, QCoreApplication::applicationVersion()), &error)) {
        statusBar()->showMessage(QStringLiteral("Wrote %1 QSOs to %2").arg(rows->size()).arg(path));
        return true;
    }
    zelmar::ReportError(QStringLiteral("The ADIF file %1 was not written: %2").arg(path, error));
    return false;
}

bool MainWindow::ExportCabrilloFile(const QString& path) {
    if (!station_.IsSet())
        EditStation();
    if (!station_.IsSet())
        return false;
    // Recount first: with a shared log other positions may have logged
    // since, and the claimed score must be that of the QSOs written.
    if (!session_.Recalc())
        ShowStatistics();
    const auto score = ScoreLine::Parse(session_.ScoreLineText());
    QString error;
    const auto details = SubmissionStore(log_.Database(), log_.Table()).Load(&error);
    if (details && !CheckBeforeSending(*details))
        return false;
    const auto rows = details ? log_.ReadAll(&error) : std::nullopt;
    if (!score)
        error = QStringLiteral("the statistics window shows no score");
    if (score && rows) {
        const CabrilloHeader header{
            CabrilloContestName(session_.Title()), station_.call, score->score,
            QStringLiteral("qarvel %1").arg(QCoreApplication::applicationVersion()), *details};
        if (SaveFile(path, WriteCabrillo(header, *rows).toUtf8(), &error)) {
            statusBar()->showMessage(QStringLiteral("Wrote %1 QSOs, claimed score %2, to %3")
                                         .arg(rows->size())
                                         .arg(score->score)
                                         .arg(path));
            return true;
        }
    }
    zelmar::ReportError(
        QStringLiteral("The Cabrillo file %1 was not written: %2").arg(path, error));
    return false;
}

void MainWindow::TakeLogStation() {
    StationSettings kept = station_;
    QString error;
    if (StationStore(log_.Database(), log_.Table()).Load(kept, &error) !=
        StationStore::Read::Found) {
        rate_->Reload();
        return;
    }
    rate_->Reload(); // the minimum break may have changed too
    if (kept.call == station_.call && kept.dxccPrefix == station_.dxccPrefix &&
        kept.continent == station_.continent && kept.sentExchange == station_.sentExchange)
        return;
    SetStation(kept);
    if (session_.IsStarted()) {
        session_.HandOverStation();
        session_.Recalc();
    }
    statusBar()->showMessage(
        QStringLiteral("%1 (%2, %3) is the shared log's station; the log was rescored as %1.")
            .arg(station_.call, station_.dxccPrefix, station_.continent));
}

void MainWindow::EditSubmission() {
    SubmissionStore store(log_.Database(), log_.Table());
    QString error;
    const auto stored = store.Load(&error);
    if (!stored) {
        zelmar::ReportError(error);
        return;
    }
    ScoreboardSettings scoreboard = LoadScoreboardSettings(StationSettingsPath());
    if (scoreboardPasswords_)
        scoreboard.password = scoreboardPasswords_->Password();
    SubmissionDialog dialog(*stored, scoreboard, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!store.Save(dialog.Details(), &error))
        zelmar::ReportError(error);
    else if (shared_)
        shared_->PublishSide(); // the details travel with the shared log
    rate_->Reload(); // the minimum break may have changed
    if (!SaveScoreboardSettings(dialog.Scoreboard(), StationSettingsPath()))
        zelmar::ReportError(QStringLiteral("The scoreboard settings could not be saved in %1")
                                .arg(StationSettingsPath()));
    if (scoreboardPasswords_ && dialog.PasswordChanged())
        scoreboardPasswords_->Save(dialog.Scoreboard().password);
}

bool MainWindow::CheckBeforeSending(const SubmissionDetails& details) {
    QString error;
    const auto rows = log_.ReadInEntryOrder(&error);
    if (!rows) {
        zelmar::ReportError(error);
        return false;
    }
    MasterScp scp;
    scp.Load();
    LogCheck check(entry_->Check(), &scp);
    check.SetStation(station_);
    LogCheckDialog dialog(check.Check(*rows, details),
                          static_cast<int>(rows->size()), this);
    return dialog.exec() == QDialog::Accepted;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Only asks to quit: the module is released once the event loop has
    // ended, never from inside one of its own message pumps.
    event->accept();
    emit QuitRequested();
}

} // namespace qarvel
