#pragma once

#include "RecordBuilder.h"
#include "TempSqliteLog.h"
#include "plugin/Exports.h"
#include "plugin/ModuleReferences.h"
#include "ui/ErrorReporter.h"
#include "ui/HostFolder.h"
#include "ui/TfmMainForm.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QSettings>
#include <gtest/gtest.h>
#include <memory>

namespace zelmar::testing {

// A statistics window opened through _Run on a temporary SQLite log, with
// the error reporter replaced and no reference tables.
class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(hostDir_.isValid());
        // The window's placement is stored and read back: in a folder of
        // the test's own, never the user's, so that no earlier run (on
        // another screen) moves the window.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, hostDir_.path());
        SetHostFolderForTesting(hostDir_.path().toStdString() + "/");
        SetErrorReporter([this](const QString& text) { errors_ << text; });
        log_ = std::make_unique<TempSqliteLog>();
    }
    void TearDown() override {
        _Release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        log_.reset();
        SetErrorReporter({});
        SetHostFolderForTesting({});
    }

    TfmMainForm* Open(const RecordBuilder& host = RecordBuilder()) {
        _Run(0, host.Ptr());
        window_ = CurrentWindow();
        return window_;
    }

    template <typename T> T* Part(const char* name) const {
        return window_ ? window_->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
    QTableWidget* Grid() const { return Part<QTableWidget>("StringGrid1"); }
    QAction* Action() const { return Part<QAction>("RecalcStatistic"); }
    QString ScoreLine() const { return Part<QLabel>("Label1")->text(); }
    QString Cell(int column, int row) const { return Grid()->item(row, column)->text(); }

    static LogRow Qso(const std::string& call, const std::string& band,
                      const std::string& continent = "EU", const std::string& prefix = "F") {
        return {call, band, "CW", continent, "599", prefix, prefix};
    }

    QTemporaryDir hostDir_;
    std::unique_ptr<TempSqliteLog> log_;
    QStringList errors_;
    QPointer<TfmMainForm> window_;
};

// The grid as painted, in the coordinates of its viewport (inside the border).
inline QImage GridPixels(QTableWidget* grid) {
    const QPoint origin = grid->viewport()->mapTo(grid, QPoint(0, 0));
    return grid->grab().toImage().copy(QRect(origin, grid->viewport()->size()));
}

} // namespace zelmar::testing
