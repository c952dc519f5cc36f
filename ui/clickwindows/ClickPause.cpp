#include "ui/clickwindows/ClickPause.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "ui_ClickPause.h"

#include <QCloseEvent>

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

} // namespace

ClickPause::ClickPause(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ClickPause)
{
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    // Never focused, so that a click on it leaves the keyboard with the user's window.
    flags |= Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
    setWindowFlags(flags);
    ui->setupUi(this);

    connect(ui->pushStandAlonePause, &QPushButton::clicked, this,
            &ClickPause::ToggleActiveInactive);
    if (FacialDetectionApp *application = app())
        connect(application, &FacialDetectionApp::ClickingActiveChanged, this,
                &ClickPause::UpdateUI);
    UpdateUI();
}

ClickPause::~ClickPause()
{
    delete ui;
}

void ClickPause::UpdateUI()
{
    FacialDetectionApp *application = app();
    const bool active = !application || application->clickingActive;
    ui->pushStandAlonePause->setText(active ? tr("Pause\nClicking") : tr("Activate\nClicking"));
    ui->pushStandAlonePause->setChecked(!active);
}

void ClickPause::ToggleActiveInactive()
{
    FacialDetectionApp *application = app();
    if (!application)
        return;
    // Only the live switch: the click-options window stores the choice, this one does not.
    application->setClickingActive(!application->clickingActive);
    UpdateUI();
}

void ClickPause::enterEvent(QEvent *event)
{
    focus.pointerEntered(effectiveWinId());
    if (FacialDetectionApp *application = app())
        application->setPointerOverClickPause(true);
    QDialog::enterEvent(event);
}

void ClickPause::leaveEvent(QEvent *event)
{
    if (FacialDetectionApp *application = app())
        application->setPointerOverClickPause(false);
    focus.pointerLeft();
    QDialog::leaveEvent(event);
}

void ClickPause::closeEvent(QCloseEvent *event)
{
    // The window closes; the settings remember that no click window is wanted.
    if (FacialDetectionApp *application = app())
        application->setSetting(QString::fromLatin1(SettingKeys::SHOW_CLICK_OPTIONS), 0);
    QDialog::closeEvent(event);
}

void ClickPause::hideEvent(QHideEvent *event)
{
    if (FacialDetectionApp *application = app())
        application->setPointerOverClickPause(false);
    QDialog::hideEvent(event);
}
