#pragma once

#include "LoadedModule.h"
#include "MessageBoxCatcher.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace zelmar::testing {

// The windows' settings files go to a folder of the test process's own, so
// that a thousand windows neither read nor write the user's settings.
class IsolatedSettings : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }

private:
    QTemporaryDir dir_;
};

inline QWidget* TopLevel(const QString& objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName)
            return w;
    return nullptr;
}

// Everything in a log that the module could have changed: the table list
// and every row of every table, as text.
inline QString LogContents(QSqlDatabase db) {
    QString out;
    const QStringList tables = db.tables();
    for (const QString& table : tables) {
        out += QStringLiteral("[%1]\n").arg(table);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table)))
            return QStringLiteral("unreadable: ") + table;
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i)
                out += q.value(i).toString() + QLatin1Char('|');
            out += QLatin1Char('\n');
        }
    }
    return out;
}

// The settings file the module uses: named after the host's executable, in
// the folder IsolatedSettings set up.
inline QString SettingsFile() {
    const QString host = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QSettings(QSettings::IniFormat, QSettings::UserScope, host).fileName();
}

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The built module, loaded as the host loads it, on an SQLite log of the
// test's own. Error boxes of the module are caught and read, never block.
class ModuleHarness : public ::testing::Test {
protected:
    void SetUp() override {
        log_ = std::make_unique<TempSqliteLog>();
        module_ = std::make_unique<LoadedModule>(LoadedModule::DefaultPath());
    }
    void TearDown() override {
        if (module_) {
            module_->Release();
            DeleteDeferred();
        }
        module_.reset();
        log_.reset();
    }

    static void DeleteDeferred() {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget* Window() const { return TopLevel(QStringLiteral("fmMainForm")); }
    QWidget* MultipliersWindow() const { return TopLevel(QStringLiteral("fmDomList")); }

    // Presses a button of the statistics window as the operator would.
    void Click(const char* objectName) {
        QWidget* window = Window();
        ASSERT_NE(window, nullptr) << "no statistics window";
        auto* button = window->findChild<QPushButton*>(QLatin1String(objectName));
        ASSERT_NE(button, nullptr) << objectName;
        ASSERT_TRUE(button->isEnabled()) << objectName;
        button->click();
    }

    // A cell of StringGrid1, (column, row) as the grid addresses it.
    QString Cell(int column, int row) const {
        QWidget* window = Window();
        auto* grid =
            window ? window->findChild<QTableWidget*>(QStringLiteral("StringGrid1")) : nullptr;
        QTableWidgetItem* item = grid ? grid->item(row, column) : nullptr;
        return item ? item->text() : QStringLiteral("<no cell>");
    }
    QString TotalQSOs() const { return Cell(1, 7); }
    QString ScoreLine() const {
        QWidget* window = Window();
        auto* label = window ? window->findChild<QLabel*>(QStringLiteral("Label1")) : nullptr;
        return label ? label->text() : QStringLiteral("<no label>");
    }

    // Texts of the error boxes caught since `from`.
    QString BoxesSince(qsizetype from) const {
        return boxes_.Texts().mid(from).join(QLatin1Char('\n'));
    }
    qsizetype BoxCount() const { return boxes_.Texts().size(); }

    std::uintptr_t Run(const RecordBuilder& host = RecordBuilder()) {
        return module_->Run(0, host.Ptr());
    }

    MessageBoxCatcher boxes_;
    std::unique_ptr<TempSqliteLog> log_;
    std::unique_ptr<LoadedModule> module_;
};

} // namespace zelmar::testing
