#include "StorageFixture.h"

#include <QProcess>
#include <QProcessEnvironment>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

// Set by the parent: the logical size the child's screen must have.
constexpr const char* kScreenVariable = "ZELMAR_SCREEN_PLACEMENT_SCREEN";

const QPoint kMainDesign(1024, 233);
const QPoint kListDesign(1020, 164);

QString SizeText(const QSize& s) {
    return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

// Where a window designed at `design` must stand on `area`: there when it
// fits, else moved just far enough to stand wholly on it.
QPoint Expected(const QPoint& design, const QSize& frame, const QRect& area) {
    QPoint at = design;
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - frame.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - frame.height())));
    return at;
}

using ScreenPlacement = StorageFixture;

// Run only by the test below, in a process on the screen it is given.
TEST_F(ScreenPlacement, DISABLED_OnThisScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(SizeText(area.size()), qEnvironmentVariable(kScreenVariable));

    // The first run: the designed places, or as near as the screen allows.
    TfmMainForm* main = OpenMain();
    TfmDomList* list = OpenDomList();
    ASSERT_NE(list, nullptr);
    for (QWidget* w : {static_cast<QWidget*>(main), static_cast<QWidget*>(list)})
        EXPECT_TRUE(area.contains(w->frameGeometry()))
            << w->objectName().toStdString() << " " << ::testing::PrintToString(w->frameGeometry());
    EXPECT_EQ(main->frameGeometry().topLeft(),
              Expected(kMainDesign, main->frameGeometry().size(), area));
    EXPECT_EQ(list->frameGeometry().topLeft(),
              Expected(kListDesign, list->frameGeometry().size(), area));
    const QSize mainFrame = main->frameGeometry().size();
    const QSize listFrame = list->frameGeometry().size();
    DestroyMain();

    // Stored places: one that fits is taken exactly; one whose title bar is
    // above and left of the screen comes down just far enough.
    Seed(QStringLiteral("TfmDomList"), QStringLiteral("NormPos") + ScreenSize(),
         QStringLiteral("40,30,%1,%2").arg(40 + listFrame.width()).arg(30 + listFrame.height()));
    Seed(QStringLiteral("TfmMainForm"), QStringLiteral("NormPos") + ScreenSize(),
         QStringLiteral("-100,-60,%1,%2").arg(mainFrame.width() - 100).arg(mainFrame.height() - 60));
    main = OpenMain();
    list = OpenDomList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->frameGeometry(), QRect(QPoint(40, 30), listFrame));
    EXPECT_EQ(main->frameGeometry(), QRect(area.topLeft(), mainFrame));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST(ScreenPlacementOnScreens, ModuleWindowsOpenWhereTheOperatorCanReachThem) {
    struct Screen {
        const char* config;
        const char* scale;
        const char* logicalSize;
    };
    const Screen screens[] = {
        {"small-800x600.json", "1", "800x600"},
        {"laptop-1400x900.json", "2", "700x450"},
        {"desktop-1920x1080.json", "1", "1920x1080"},
    };
    for (const Screen& s : screens) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   QStringLiteral("offscreen:configfile=" ZELMAR_TEST_SOURCE_DIR
                                  "/tests/support/screens/") +
                       QLatin1String(s.config));
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QLatin1String(s.scale));
        env.insert(QLatin1String(kScreenVariable), QLatin1String(s.logicalSize));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=ScreenPlacement.DISABLED_OnThisScreen"),
                     QStringLiteral("--gtest_also_run_disabled_tests")});
        ASSERT_TRUE(child.waitForFinished(60000)) << s.config;
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << s.config << " x" << s.scale << "\n" << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    }
}

} // namespace
