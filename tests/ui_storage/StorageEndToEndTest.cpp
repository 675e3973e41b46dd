#include "LoadedModule.h"
#include "MessageBoxCatcher.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height() << ')';
}

using namespace zelmar;
using namespace zelmar::testing;

namespace {

// Where the child process finds the settings folder of its parent.
constexpr const char* kConfigVariable = "ZELMAR_STORAGE_E2E_CONFIG";

const QRect kListFrame(200, 150, 400, 220);
const QPoint kMainPosition(300, 100);

QWidget* FindTopLevel(const QString& objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName && w->isVisible())
            return w;
    return nullptr;
}

void Click(QWidget* window, const QString& button) {
    auto* b = window ? window->findChild<QAbstractButton*>(button) : nullptr;
    ASSERT_NE(b, nullptr) << button.toStdString();
    b->click();
}

// Gives a top-level window the outer frame `outer`, whatever frame the
// window system draws around it.
void SetFrame(QWidget* w, const QRect& outer) {
    const QSize frame = w->frameGeometry().size() - w->geometry().size();
    w->resize(outer.size() - frame);
    w->move(outer.topLeft());
}

QString Stored(const QString& key) {
    // The module names the file after this process's executable.
    QSettings s(QSettings::IniFormat, QSettings::UserScope,
                QCoreApplication::applicationFilePath().section('/', -1));
    return s.value(key, QStringLiteral("<missing>")).toString();
}

// One run of the host: the module loaded, _Run, the work, _Release and the
// deferred deletions the host's loop would run, the module unloaded.
class HostRun {
public:
    HostRun() : module_(LoadedModule::DefaultPath()) {}
    ~HostRun() {
        module_.Release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QWidget* Run() {
        module_.Run(0, host_.Ptr());
        return FindTopLevel(QStringLiteral("fmMainForm"));
    }

private:
    TempSqliteLog log_;
    RecordBuilder host_;
    LoadedModule module_;
};

// A later run: both windows where the first left them, the band chosen.
void ExpectReopenedWhereLeft() {
    MessageBoxCatcher boxes;
    {
        HostRun run;
        QWidget* main = run.Run();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(main->pos(), kMainPosition);
        Click(main, QStringLiteral("RzBitBtn2"));
        QWidget* list = FindTopLevel(QStringLiteral("fmDomList"));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->frameGeometry(), kListFrame);
        auto* band21 = list->findChild<QAbstractButton*>(QStringLiteral("RzBitBtn7"));
        ASSERT_NE(band21, nullptr);
        EXPECT_TRUE(band21->isChecked());
    }
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
}

TEST(StorageEndToEnd, BandAndPlacesComeBackWhenTheHostStartsAgain) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    MessageBoxCatcher boxes;
    {
        HostRun run;
        QWidget* main = run.Run();
        ASSERT_NE(main, nullptr);
        main->move(kMainPosition);
        Click(main, QStringLiteral("RzBitBtn2"));
        QWidget* list = FindTopLevel(QStringLiteral("fmDomList"));
        ASSERT_NE(list, nullptr);
        Click(list, QStringLiteral("RzBitBtn7"));
        SetFrame(list, kListFrame);
        ASSERT_EQ(list->frameGeometry(), kListFrame);
        // The band is the statistics window's, held in memory until it goes.
        EXPECT_EQ(Stored(QStringLiteral("TfmMainForm/CurrentBand")), QStringLiteral("<missing>"));
    }
    EXPECT_EQ(Stored(QStringLiteral("TfmMainForm/CurrentBand")), QStringLiteral("7"));
    EXPECT_EQ(Stored(QStringLiteral("TfmMainForm/Visible")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("TfmDomList/NormPos")), QStringLiteral("200,150,600,370"));
    EXPECT_EQ(Stored(QStringLiteral("TfmDomList/Visible")), QStringLiteral("1"));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();

    // Started again in this process, with the module loaded anew ...
    ExpectReopenedWhereLeft();

    // ... and in a process of its own.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kConfigVariable), config.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=StorageEndToEnd.DISABLED_SecondProcess"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

// Run only by the test above, as the host started again in a new process.
TEST(StorageEndToEnd, DISABLED_SecondProcess) {
    const QString folder = qEnvironmentVariable(kConfigVariable);
    ASSERT_FALSE(folder.isEmpty());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    ExpectReopenedWhereLeft();
}

} // namespace
