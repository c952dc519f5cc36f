// The engine tests run on the recording back ends with the program's application object and
// a tracker whose signals they watch.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"
#include "tracking/QTracker.h"

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
    QTracker tracker;
    application.tracker = &tracker;
    const int result = RUN_ALL_TESTS();
    application.tracker = nullptr;
    return result;
}
