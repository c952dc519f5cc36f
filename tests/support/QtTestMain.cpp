#include "tests/support/TestHome.h"

#include <QApplication>
#include <gtest/gtest.h>

// Test main for components that need a Qt application object but not the program's own.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    useOffscreenPlatformWithoutDisplay();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
