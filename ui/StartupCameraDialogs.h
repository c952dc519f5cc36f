#pragma once

#include "tracking/CameraDialogs.h"

// The camera questions of start-up as real dialogs.
class StartupCameraDialogs : public CameraDialogs
{
public:
    void showNoCameraFound() override;
    // Closes itself after 5 s when the user asked for that last time.
    void chooseCamera(const QStringList &names) override;
    void showCameraError(const QString &text) override;
};
