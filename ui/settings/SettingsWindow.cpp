#include "ui/settings/SettingsWindow.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"

#include <QCloseEvent>
#include <QThread>

SettingsWindow::SettingsWindow(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingsWindow"));
    setWindowTitle(tr("Settings"));
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app)
        return;
    connect(app, &FacialDetectionApp::NeedAllSettingsReset, this,
            &SettingsWindow::ResetAllSettings);
    connect(app, &FacialDetectionApp::SettingsChanged, this, &SettingsWindow::UpdateUI);
    app->settingsWindowLoading = true;
    UpdateUI();
    app->settingsWindowLoading = false;
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::ResetAllSettings()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app)
        return;
    app->resettingSettings = true;
    for (const SettingsDefaults::Batch &batch : SettingsDefaults::batches())
        app->setSettings(batch);
    UpdateUI();
    emit app->SettingsChanged();
    QThread::msleep(1000);
    app->resettingSettings = false;
}

void SettingsWindow::UpdateUI()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app || app->mainWindowUpdating)
        return;
    // The window's widgets are bound to the store here once the form is in place.
}

void SettingsWindow::UpdatePersistentSettings()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app || app->settingsWindowLoading)
        return;
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    // Closing only minimises: the window owns the hotkeys and click windows for the whole run.
    event->ignore();
    showMinimized();
}

void SettingsWindow::showEvent(QShowEvent *event)
{
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        app->restoreWidgetGeometry(this);
    QDialog::showEvent(event);
}
