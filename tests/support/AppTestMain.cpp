// Test main for components that need the program's own application object: a temporary
// home, the recording desktop services, and the settings store on a fresh file.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"

#include <QFileInfo>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The store writes the settings file at every change, and a disk makes each write wait
    // for its flush: the temporary home lives in memory where the machine has room for it.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    useOffscreenPlatformWithoutDisplay();
    TestHome home;
    platform::installRecording();
    initDataFolder();
    initFileLocations();
    FacialDetectionApp application(argc, argv);
    application.versionText = QStringLiteral("v3.1.3.2");
    return RUN_ALL_TESTS();
}
