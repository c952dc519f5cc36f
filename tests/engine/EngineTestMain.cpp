// The engine tests run on the recording back ends with the program's application object and
// the engine's signals registered, so the tests can watch them.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "engine/EngineSignals.h"
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
    EngineSignals engineOutput;
    setEngineSignals(&engineOutput);
    const int result = RUN_ALL_TESTS();
    setEngineSignals(nullptr);
    return result;
}
