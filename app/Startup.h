#pragma once

#include <functional>

class FacialDetectionApp;
class QTracker;

// Ways for tests to stand in for the parts of start-up that need a person or a device.
struct StartupHooks
{
    // Replaces the camera opening; returns whether a camera is open.
    std::function<bool(QTracker &)> openCamera;
    // Runs right after the application object exists (dialog answerers, probes).
    std::function<void(FacialDetectionApp &)> applicationCreated;
};

// Exit codes of start-up besides the event loop's own.
enum StartupExit
{
    NoCameraExit = -99,
    FaceModelExit = -98,
    // Another run of the same user lives; this one changed nothing.
    AnotherRunExit = -97,
    SettingsMigratedExit = -199
};

// The whole program: brings the system up in its fixed order, runs the event loop and puts
// the user's mouse settings back on the way out.
int tovraMain(int argc, char **argv, const StartupHooks &hooks = {});
