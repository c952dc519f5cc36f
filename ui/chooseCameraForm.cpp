#include "ui/chooseCameraForm.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "ui/StartupDialogNotice.h"
#include "ui_chooseCameraForm.h"

chooseCameraForm::chooseCameraForm(const QStringList &devices, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::chooseCameraForm)
{
    ui->setupUi(this);
    setResult(0);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->comboBox->addItems(devices);
    UpdateSettings();
    adjustSize();
    // Connected after the first selection, which is therefore not stored by the combo box.
    connect(ui->ccfAutoCloseCheck, &QCheckBox::toggled, this,
            &chooseCameraForm::ApplySettings_AutoClose);
    connect(ui->comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &chooseCameraForm::ApplySettings_Camera);
}

chooseCameraForm::~chooseCameraForm()
{
    delete ui;
}

int chooseCameraForm::currentIndex() const
{
    return ui->comboBox->currentIndex();
}

void chooseCameraForm::ApplySettings_AutoClose()
{
    const bool checked = ui->ccfAutoCloseCheck->isChecked();
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        app->setSetting(SettingKeys::CCF_AUTOCLOSE, checked ? 1 : 0);
    if (checked)
        showAutoCloseNotice(this);
}

void chooseCameraForm::ApplySettings_Camera(int ndx)
{
    if (ndx < 0)
        return;
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        app->setSetting(SettingKeys::DEFAULT_CAMERA, ui->comboBox->itemText(ndx));
}

void chooseCameraForm::UpdateSettings()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app)
        return;
    ui->ccfAutoCloseCheck->setChecked(app->getSetting(SettingKeys::CCF_AUTOCLOSE).toInt() != 0);
    const QString stored = app->getSetting(SettingKeys::DEFAULT_CAMERA).toString();
    if (!stored.isEmpty() && stored.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0) {
        const int found = ui->comboBox->findText(stored, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found >= 0)
            ui->comboBox->setCurrentIndex(found);
    } else if (ui->comboBox->count() > 0) {
        ui->comboBox->setCurrentIndex(0);
        app->setSetting(SettingKeys::DEFAULT_CAMERA, ui->comboBox->itemText(0));
    }
}
