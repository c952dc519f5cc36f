#include "ui/ReadyToStartForm.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

ReadyToStartForm::ReadyToStartForm(QWidget *parent)
    : QDialog(parent)
    , autoClose(new QCheckBox(tr("Auto-close this window"), this))
{
    setObjectName(QStringLiteral("ReadyToStartForm"));
    setWindowTitle(tr("Ready to Start Tovra Mouse?"));
    setWindowFlags(Qt::WindowStaysOnTopHint);
    auto *layout = new QVBoxLayout(this);
    auto *start = new QPushButton(tr("Start Tovra Mouse!"), this);
    start->setObjectName(QStringLiteral("m_readyToStartButton"));
    start->setMinimumHeight(60);
    autoClose->setObjectName(QStringLiteral("rtsfAutoCloseCheck"));
    layout->addWidget(start);
    layout->addWidget(autoClose);
    connect(start, &QPushButton::clicked, this, [this] { done(1); });
    UpdateSettings();
    connect(autoClose, &QCheckBox::toggled, this, &ReadyToStartForm::ApplySettings);
}

void ReadyToStartForm::ApplySettings()
{
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        app->setSetting(SettingKeys::RTSF_AUTOCLOSE, autoClose->isChecked() ? 1 : 0);
}

void ReadyToStartForm::UpdateSettings()
{
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        autoClose->setChecked(app->getSetting(SettingKeys::RTSF_AUTOCLOSE).toInt() != 0);
}
