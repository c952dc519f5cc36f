#include "tests/ui/DesktopTestMain.h"

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"
#include "tests/ui/PrivateDesktop.h"

#include <gtest/gtest.h>

#include <cstdio>

int runTestsOnPrivateDesktop(int argc, char **argv, bool nativeServices)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no desktop.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    TestHome home;
    PrivateDesktop desktop;
    if (!desktop.problem().isEmpty()) {
        std::fprintf(stderr, "No desktop for the test: %s\n", desktop.problem().constData());
        return 1;
    }
    qunsetenv("QT_QPA_PLATFORM");
    if (nativeServices)
        platform::installDefault();
    else
        platform::installRecording();
    initDataFolder();
    initFileLocations();
    int result = 0;
    {
        FacialDetectionApp application(argc, argv);
        application.versionText = QStringLiteral("v3.1.3.2");
        result = RUN_ALL_TESTS();
    }
    // The native services hold connections to the desktop: closed while it is still there.
    platform::uninstall();
    return result;
}
