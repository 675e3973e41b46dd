#pragma once

#include "RecordBuilder.h"
#include "TempSqliteLog.h"
#include "plugin/ModuleReferences.h"
#include "ui/ErrorReporter.h"
#include "ui/SettingsSection.h"
#include "ui/TFormStorage.h"
#include "ui/TfmDomList.h"
#include "ui/TfmMainForm.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height() << ')';
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "QPoint(" << p.x() << ',' << p.y() << ')';
}

namespace zelmar::testing {

// Both windows over an empty log, their settings file in a folder of the
// test's own, every reported error kept.
class StorageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid());
        UseConfigFolder(config_.path());
        SetErrorReporter([this](const QString& text) { errors_ << text; });
        log_ = std::make_unique<TempSqliteLog>();
    }
    void TearDown() override {
        delete main_;
        SetErrorReporter({});
        log_.reset();
    }

    static void UseConfigFolder(const QString& folder) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    }

    QString IniPath() const {
        return config_.filePath(TSettingsSection::HostProgramName() + QStringLiteral(".ini"));
    }

    // What the window system adds around a window: the offscreen platform
    // frames a shown window with a few pixels on every side.
    static QMargins FrameOf(const QWidget* w) {
        const QRect f = w->frameGeometry();
        const QRect g = w->geometry();
        return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                f.bottom() - g.bottom()};
    }
    // Gives a window the outer frame `outer`.
    static void SetFrame(QWidget* w, const QRect& outer) {
        const QMargins m = FrameOf(w);
        w->resize(outer.width() - m.left() - m.right(), outer.height() - m.top() - m.bottom());
        w->move(outer.topLeft());
    }
    static QString NormPosText(const QRect& r) {
        return QStringLiteral("%1,%2,%3,%4")
            .arg(r.left())
            .arg(r.top())
            .arg(r.left() + r.width())
            .arg(r.top() + r.height());
    }
    // The minimised position of a window never minimised, then the
    // maximised one the window's border gives.
    static QString MinMaxText(const QWidget* w,
                              const QString& minimised = QStringLiteral("-1,-1")) {
        const QMargins m = FrameOf(w);
        return QStringLiteral("%1,%2,%3").arg(minimised).arg(-m.left()).arg(-m.bottom());
    }

    static QString ScreenSize() {
        const QSize size = QGuiApplication::primaryScreen()->size();
        return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
    }
    static QString PixelsPerInch() {
        return QString::number(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()));
    }

    // Entries written the way the host's file holds them.
    void Seed(const QString& section, const QString& name, const QVariant& value) {
        QSettings s(QSettings::IniFormat, QSettings::UserScope,
                    TSettingsSection::HostProgramName());
        s.setValue(section + QLatin1Char('/') + name, value);
    }
    QString Stored(const QString& section, const QString& name) const {
        QSettings s(QSettings::IniFormat, QSettings::UserScope,
                    TSettingsSection::HostProgramName());
        return s.value(section + QLatin1Char('/') + name, QStringLiteral("<missing>")).toString();
    }
    QStringList Keys(const QString& section) const {
        QSettings s(QSettings::IniFormat, QSettings::UserScope,
                    TSettingsSection::HostProgramName());
        s.beginGroup(section);
        QStringList keys = s.childKeys();
        keys.sort();
        return keys;
    }

    TfmMainForm* OpenMain() {
        main_ = new TfmMainForm(host_.Ptr());
        CurrentWindow() = main_;
        main_->show();
        return main_;
    }
    TfmDomList* OpenDomList() {
        main_->btnOBL1Click();
        return MultipliersWindow().data();
    }
    // What _Release leads to: the statistics window destroyed, taking the
    // multipliers window with it.
    void DestroyMain() {
        delete main_;
        main_ = nullptr;
    }
    static void RunDeferredDeletes() {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void CloseDomList(TfmDomList* window) {
        window->close();
        RunDeferredDeletes();
    }

    QTemporaryDir config_;
    RecordBuilder host_;
    std::unique_ptr<TempSqliteLog> log_;
    TfmMainForm* main_ = nullptr;
    QStringList errors_;
};

} // namespace zelmar::testing
