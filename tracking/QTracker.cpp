#include "tracking/QTracker.h"

#include "core/Clock.h"
#include "core/FacialDetectionApp.h"
#include "core/MessageBoxes.h"
#include "core/SettingsKeys.h"
#include "platform/MouseParameters.h"
#include "platform/Platform.h"

#include <QThread>

QTracker::QTracker(QObject *parent)
    : QProcessInterface(-1, parent)
{}

QTracker::~QTracker()
{
    // The loop uses this object's members: end it before they go.
    Stop();
}

bool QTracker::openCamera()
{
    closeCamera();
    // No camera can be listed yet on this system: tell the user, as when none is connected.
    showMessageBox(
        QMessageBox::Critical, tr("Error:  No Camera Found"),
        tr("<html><head/><body><p align=\"center\"><span style=\" "
           "font-size:11pt;\">Tovra Mouse could not find a camera!</span><br/>Please "
           "connect a camera to your PC and restart Tovra Mouse.<br/></p></body></html>"));
    return false;
}

void QTracker::closeCamera() {}

void QTracker::createFaceTracker() {}

void QTracker::applyChangedSettings(bool firstCall)
{
    Q_UNUSED(firstCall)
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app)
        return;
    for (const SettingEntry &entry : app->takeChangedSettings()) {
        if (!entry.changed)
            continue;
        if (entry.name == QLatin1String(SettingKeys::START_AUTOMATICALLY))
            app->onStartAutomaticallyChanged(entry.value.toInt() != 0);
        else if (entry.name == QLatin1String(SettingKeys::ENHANCE_PRECISION))
            platform::mouseParameters().setEnhancedPrecision(entry.value.toInt() != 0);
    }
}

void QTracker::ProcessSlot()
{
    while (IsRunning()) {
        Lock();
        if (!paused)
            applyChangedSettings(false);
        Unlock();
        QThread::msleep(1000 / 32);
    }
    emit TrackerProcessCompleted();
}
