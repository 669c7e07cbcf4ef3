#include <QApplication>
#include <cstdlib>

#include <gtest/gtest.h>

// gtest_discover_tests runs this binary at build time without ctest's environment, so the offscreen
// platform is the default here, before the application object exists.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
