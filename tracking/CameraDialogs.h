#pragma once

#include <QString>
#include <QStringList>

// The questions camera opening puts to the user. The tracker knows nothing of windows: the
// program hands it the real dialogs, tests hand it scripted ones.
class CameraDialogs
{
public:
    virtual ~CameraDialogs() = default;
    // No camera at all; the program ends after it.
    virtual void showNoCameraFound() = 0;
    // Lets the user pick a camera; the choice is stored as DEFAULT_CAMERA.
    virtual void chooseCamera(const QStringList &names) = 0;
    // The chosen camera cannot be used.
    virtual void showCameraError(const QString &text) = 0;
};
