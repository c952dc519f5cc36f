// Test main for components that need the program's own application object: a temporary
// home, the recording desktop services, and the settings store on a fresh file.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    useOffscreenPlatformWithoutDisplay();
    TestHome home;
    platform::installRecording();
    initDataFolder();
    initFileLocations();
    FacialDetectionApp application(argc, argv);
    application.versionText = QStringLiteral("v3.1.3.2");
    return RUN_ALL_TESTS();
}
