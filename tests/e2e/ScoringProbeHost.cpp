// A minimal host for the end-to-end test: the module finds its reference
// tables beside the executable of the process, so the test copies this
// program into a folder of its own making and runs it there. It opens the
// statistics window once, works one QSO, and prints what it saw, one
// "name=value" line each.

#include "LoadedModule.h"
#include "MessageBoxCatcher.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"

#include <QApplication>
#include <QWidget>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

int WindowsLeft() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("fmMainForm"))
            ++n;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    try {
        MessageBoxCatcher boxes;
        TempSqliteLog log;
        LoadedModule module(
            (QCoreApplication::applicationDirPath() + "/Plugins/ZelmarContest.so").toStdString());

        const RecordBuilder host;
        std::printf("run=%s\n", module.Run(0, host.Ptr()) != 0 ? "handle" : "0");

        const RecordBuilder qso =
            RecordBuilder().Call("YO0PRB").Band("14").Mode("CW").Prefix("YO").Continent("EU");
        std::array<unsigned char, 256> receiving{};
        module.GrabNumber(qso.Ptr(), receiving.data());
        std::printf("grab=%.*s\n", receiving[0], reinterpret_cast<const char*>(&receiving[1]));
        std::printf("add=%d\n", module.AddQSO(qso.Ptr()));
        std::printf("window=%d\n", WindowsLeft());

        module.Release();
        std::printf("released=%d\n", WindowsLeft());
        for (const QString& text : boxes.Texts())
            std::printf("box=%s\n", text.toLocal8Bit().constData());
    } catch (const std::exception& e) {
        std::printf("probe-error=%s\n", e.what());
        return 1;
    }
    return 0;
}
