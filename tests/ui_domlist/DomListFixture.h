#pragma once

#include "RecordBuilder.h"
#include "plugin/CurrentRecord.h"
#include "plugin/ModuleReferences.h"
#include "ui/ErrorReporter.h"
#include "ui/HostFolder.h"
#include "ui/TBandButton.h"
#include "ui/TFormStorage.h"
#include "ui/TfmDomList.h"
#include "ui/TfmMainForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zelmar::testing {

// A statistics window over a county table of the test's own (no log is
// opened: the window is never shown), and the multipliers window it opens.
class DomListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QDir(folder_.path()).mkpath(QStringLiteral("Plugins")));
        QFile table(folder_.filePath(QStringLiteral("Plugins/romanian.dom")));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("AB=AB\r\nB=B\r\nCJ=CJ\r\nX\r\n");
        table.close();
        SetHostFolderForTesting(folder_.path().toLocal8Bit().toStdString());
        // Placements are saved and restored in a settings file of this test.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           folder_.filePath(QStringLiteral("config")));
        SetErrorReporter([this](const QString& text) { errors_ << text; });
        main_ = new TfmMainForm(RecordBuilder().Ptr());
    }

    void TearDown() override {
        delete main_.data();
        DeliverDeferredDeletes();
        EXPECT_TRUE(MultipliersWindow().isNull());
        SetHostFolderForTesting({});
        SetErrorReporter({});
        EXPECT_TRUE(errors_.isEmpty()) << errors_.join(QLatin1Char('\n')).toStdString();
    }

    static void DeliverDeferredDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void SetDomTable(std::vector<std::string> lines) {
        main_->Scorer()->Tables().SetDomTable(std::move(lines));
    }

    // Records a QSO with a home station sending `exchange` on `band`, as the
    // host's _AddQSO would.
    void Record(const std::string& band, const std::string& exchange) {
        const std::string call = "YO" + std::to_string(++calls_) + "ZZ";
        CopyInRecord(RecordBuilder()
                         .Call(call)
                         .Band(band)
                         .Mode("CW")
                         .Continent("EU")
                         .Prefix("YO")
                         .Exchange(exchange)
                         .Ptr());
        main_->Scorer()->ScoreQSO(true);
        main_->Scorer()->SortQSOList();
    }

    // The "Multipliers" button.
    TfmDomList* Open() {
        main_->btnOBL1Click();
        return MultipliersWindow().data();
    }

    static TBandButton* Button(TfmDomList* window, int n) {
        return window->findChild<TBandButton*>(QStringLiteral("RzBitBtn%1").arg(n));
    }
    // The number of the one button down; 0 when none is, -1 when several are.
    static int DownButton(TfmDomList* window) {
        int down = 0;
        for (int n = 1; n <= 9; ++n)
            if (Button(window, n)->isChecked())
                down = down == 0 ? n : -1;
        return down;
    }
    QVariant StoredBand() const {
        return main_->FormStorage()->StoredValue(QStringLiteral("CurrentBand"));
    }
    void SetStoredBand(const QVariant& value) {
        main_->FormStorage()->SetStoredValue(QStringLiteral("CurrentBand"), value);
    }

    QTemporaryDir folder_;
    QPointer<TfmMainForm> main_;
    QStringList errors_;
    int calls_ = 0;
};

} // namespace zelmar::testing
