#include "ui/StartupCameraDialogs.h"

#include "core/FacialDetectionApp.h"
#include "core/MessageBoxes.h"
#include "core/SettingsKeys.h"
#include "ui/NoCameraFoundForm.h"
#include "ui/chooseCameraForm.h"

#include <QTimer>

void StartupCameraDialogs::showNoCameraFound()
{
    NoCameraFoundForm form;
    form.exec();
}

void StartupCameraDialogs::chooseCamera(const QStringList &names)
{
    chooseCameraForm form(names);
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (app && app->getSetting(SettingKeys::CCF_AUTOCLOSE).toInt() != 0)
        QTimer::singleShot(5000, &form, &QWidget::close);
    form.exec();
}

void StartupCameraDialogs::showCameraError(const QString &text)
{
    showMessageBox(QMessageBox::Critical, QObject::tr("Camera Error"), text);
}
