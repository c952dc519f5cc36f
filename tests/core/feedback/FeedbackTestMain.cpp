#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

// The Qt overlays connect to the application object's signals by signature: the tests run
// them under the program's own application object, in a temporary home.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    useOffscreenPlatformWithoutDisplay();
    TestHome home;
    platform::installRecording();
    initDataFolder();
    initFileLocations();
    FacialDetectionApp application(argc, argv);
    return RUN_ALL_TESTS();
}
