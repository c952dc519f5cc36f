#include "ui/ReadyToStartForm.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "ui/StartupDialogNotice.h"
#include "ui_ReadyToStartForm.h"

#include <QDesktopServices>
#include <QUrl>

const char *const ReadyToStartForm::tutorialUrl = "https://www.quillorent.com/resources/";

ReadyToStartForm::ReadyToStartForm(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ReadyToStartForm)
{
    ui->setupUi(this);
    setResult(0);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowFlags(Qt::WindowStaysOnTopHint);
    connect(ui->m_watchTutorialsButton, &QPushButton::clicked, this,
            &ReadyToStartForm::openTutorialVideos);
    connect(ui->m_readyToStartButton, &QPushButton::clicked, this, [this] { done(1); });
    UpdateSettings();
    // Connected after loading, so the stored state is never written back or announced.
    connect(ui->rtsfAutoCloseCheck, &QCheckBox::toggled, this, &ReadyToStartForm::ApplySettings);
}

ReadyToStartForm::~ReadyToStartForm()
{
    delete ui;
}

void ReadyToStartForm::ApplySettings()
{
    const bool checked = ui->rtsfAutoCloseCheck->isChecked();
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        app->setSetting(SettingKeys::RTSF_AUTOCLOSE, checked ? 1 : 0);
    if (checked)
        showAutoCloseNotice(this);
}

void ReadyToStartForm::UpdateSettings()
{
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        ui->rtsfAutoCloseCheck->setChecked(app->getSetting(SettingKeys::RTSF_AUTOCLOSE).toInt() !=
                                           0);
}

void ReadyToStartForm::openTutorialVideos()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(tutorialUrl)));
}
