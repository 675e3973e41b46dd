#pragma once

#include "contest/ContestSession.h"
#include "reference/CountryFile.h"
#include "logbook/LogBook.h"
#include "windows/MainWindow.h"
#include "MessageBoxCatcher.h"
#include "TempSqliteLog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace qarvel::testing {

// qarvel's main window over a temporary log with the real contest module
// from <build>/Plugins, as WindowRun puts them together.
class WindowFixture : public ::testing::Test {
protected:
    static const CountryFile& Countries() {
        static const CountryFile file = [] {
            CountryFile f;
            f.Load(CountryFile::kDefaultPath);
            return f;
        }();
        return file;
    }

    void SetUp() override {
        // The module stores its window placement on release: in a folder
        // of the test's own, never in the user's.
        static QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        log_ = std::make_unique<zelmar::testing::TempSqliteLog>(ContestSession::kConnection);
        book_ = std::make_unique<LogBook>(ContestSession::ConnectionName(), QStringLiteral("Log"));
        station_.call = QStringLiteral("YO3ZZZ");
        station_.dxccPrefix = QStringLiteral("YO");
        station_.continent = QStringLiteral("EU");
        station_.logName = QStringLiteral("TEST");
        session_ = std::make_unique<ContestSession>();
        QString error;
        ASSERT_TRUE(session_->Load(
            QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"), &error))
            << error.toStdString();
        session_->SetStation(station_, QStringLiteral("Log"));
        window_ = std::make_unique<MainWindow>(*session_, &Countries(), *book_, station_,
                                               QStringLiteral("test"));
        window_->show();
    }

    void TearDown() override {
        session_->Shutdown();
        window_.reset();
        session_.reset();
        book_.reset();
        log_.reset();
    }

    int Rows() { return book_->Count(); }

    // The check window that every Cabrillo export shows first: answered
    // with `button` ("LogCheckGoOn" or "LogCheckCancel") once it is up; its
    // findings land in `findings` when given.
    static void AnswerCheckWindow(const char* button, QStringList* findings = nullptr) {
        QTimer::singleShot(20, [button, findings] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() != QLatin1String("LogCheckWindow") || !w->isVisible())
                    continue;
                if (findings)
                    for (QListWidgetItem* item :
                         w->findChild<QListWidget*>(QStringLiteral("LogCheckFindings"))
                             ->findItems(QStringLiteral("*"), Qt::MatchWildcard))
                        *findings << item->text();
                w->findChild<QPushButton*>(QLatin1String(button))->click();
                return;
            }
            AnswerCheckWindow(button, findings);
        });
    }

    zelmar::testing::MessageBoxCatcher boxes_;
    StationSettings station_;
    std::unique_ptr<zelmar::testing::TempSqliteLog> log_;
    std::unique_ptr<LogBook> book_;
    std::unique_ptr<ContestSession> session_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace qarvel::testing
