#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Window tests never need a display; run by hand as by CTest, they get
    // a desktop's screen.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM",
               "offscreen:configfile=" ZELMAR_TEST_SCREENS "/desktop-1920x1080.json", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
