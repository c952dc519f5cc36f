#include "ui/settings/SettingsWindow.h"

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "core/WindowFit.h"
#include "feedback/MessageWidget.h"
#include "hotkeys/QHotkey.h"
#include "tracking/QTracker.h"
#include "ui/settings/RealtimeAnimatedSlider.h"
#include "ui/settings/SettingsFileCopy.h"
#include "ui_SettingsWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QKeySequenceEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

using namespace SettingKeys;
using SettingsBindings::Kind;

namespace {

// How long a reset counts as running after its last batch: the smile question stays quiet
// while the worker takes the new values.
const int ResetPauseMs = 1000;

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

QString homeFolder()
{
    return QStandardPaths::standardLocations(QStandardPaths::HomeLocation).value(0);
}

QAbstractButton *button(QWidget *widget)
{
    return static_cast<QAbstractButton *>(widget);
}

// Shows or hides a window only when it is not in that state already (a minimised window
// counts as shown).
void setShown(QWidget &window, bool shown)
{
    if (window.isVisible() != shown)
        window.setVisible(shown);
}

// An information box with one button of the given text; returns once it is closed.
void showNotice(QWidget *parent, const QString &title, const QString &text,
                const QString &buttonText)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton, parent);
    box.addButton(buttonText, QMessageBox::AcceptRole);
    box.exec();
}

} // namespace

SettingsWindow::SettingsWindow(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SettingsWindow)
{
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    ui->setupUi(this);
    formMinimumSize = minimumSize();
    fixScrollAreas();

    // Exactly one absolute pointing method is chosen at a time.
    auto *absoluteMethodGroup = new QButtonGroup(this);
    for (QRadioButton *radio :
         {ui->radio_AbsoTrueRaw, ui->radio_AbsoTrueSm, ui->radio_AbsoCombo1, ui->radio_AbsoCombo2,
          ui->radio_AbsoCombo3, ui->radio_AbsoCombo4, ui->radio_AbsoCombo5, ui->radio_AbsoCombo6})
        absoluteMethodGroup->addButton(radio);

    FacialDetectionApp *application = app();
    if (application)
        ui->label_ReleaseNumValue->setText(application->versionText);
    createHotkeys();

    for (std::size_t i = 0; i < SettingsBindings::count(); ++i) {
        const SettingsBindings::Binding &binding = SettingsBindings::all()[i];
        BoundWidget entry{
            &binding, findChild<QWidget *>(QString::fromLatin1(binding.widget)),
            binding.partner ? findChild<QWidget *>(QString::fromLatin1(binding.partner)) : nullptr};
        if (!entry.widget || (binding.partner && !entry.partner)) {
            qWarning() << "The settings form has no widget for" << binding.key;
            continue;
        }
        bound.push_back(entry);
    }
    connectControls();
    if (application)
        connect(application, &FacialDetectionApp::NeedAllSettingsReset, this,
                &SettingsWindow::ResetAllSettings);

    hideDiagnosticPages();

    // Fitted to its contents, but never below the size the form gives it: the widest rows
    // need it, and a plain fit would put them behind a scroll bar.
    if (application && application->getSetting(FIRST_RUN_EVER).toInt() != 0)
        ui->tabWidget->setCurrentIndex(1);
    else
        adjustSizeWithoutShrink();

    if (application) {
        connect(application, &FacialDetectionApp::SettingsChanged, this, &SettingsWindow::UpdateUI);
        application->settingsWindowLoading = true;
        UpdateUI();
        application->settingsWindowLoading = false;
    }
    connectExpressionFeedback();
}

SettingsWindow::~SettingsWindow()
{
    delete ui;
    // A reset whose pause outlives the window still ends.
    if (resetsPending > 0 && app())
        app()->resettingSettings = false;
}

void SettingsWindow::fixScrollAreas()
{
    const char *const pages[] = {"Mode",    "Pointing",    "Clicking", "Gestures",
                                 "Hotkeys", "Preferences", "MyTovra"};
    for (const char *page : pages) {
        auto *area = findChild<QScrollArea *>(QStringLiteral("scrollArea_") + page);
        auto *contents = findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents_") + page);
        if (!area || !contents)
            continue;
        area->setWidgetResizable(true);
        area->setWidget(contents);
        if (!contents->layout())
            contents->setLayout(new QVBoxLayout(contents));
    }
}

// The diagnostic pages stay built and bound, but out of the user's reach.
void SettingsWindow::hideDiagnosticPages()
{
    for (QWidget *widget :
         {static_cast<QWidget *>(ui->logBox), static_cast<QWidget *>(ui->blurBox),
          static_cast<QWidget *>(ui->indivResultsCheck),
          static_cast<QWidget *>(ui->addLandmarksCheck), static_cast<QWidget *>(ui->lockFPSCheck),
          static_cast<QWidget *>(ui->writeLogFile_GroupBox),
          static_cast<QWidget *>(ui->debugPlayback_Groupbox)})
        widget->hide();
    ui->tabWidget->removeTab(9);
    ui->tabWidget->removeTab(8);
    ui->groupBox_AbsoMethods->hide();
    ui->groupBox_FZS1->hide();
    ui->groupBox_FZS2->hide();
    ui->tabWidget->removeTab(7);
    ui->groupBox_MMIS->hide();
    ui->cameraMMISCheck->hide();
    ui->groupbox_mouseAcceleration->hide();
    ui->groupBox_SlowBlink_MaxDur->hide();
    ui->groupBox_SpeedOfSmiles->show();
}

void SettingsWindow::connectSliderPair(const BoundWidget &entry)
{
    auto *spin = static_cast<QSpinBox *>(entry.widget);
    auto *slider = static_cast<QSlider *>(entry.partner);
    // The hold-head-steady threshold has no 0: either side moved to 0 shows 1.
    const bool noZero = std::strcmp(entry.binding->key, HHS_THRESHOLD) == 0;
    connect(slider, &QSlider::valueChanged, this, [this, slider, spin, noZero](int value) {
        if (noZero && value == 0) {
            const QSignalBlocker blocker(slider);
            slider->setValue(1);
            value = 1;
        }
        spin->setValue(value);
        UpdatePersistentSettings();
    });
    connect(spin, qOverload<int>(&QSpinBox::valueChanged), this,
            [this, slider, spin, noZero](int value) {
                if (noZero && value == 0) {
                    const QSignalBlocker blocker(spin);
                    spin->setValue(1);
                    value = 1;
                }
                slider->setValue(value);
                UpdatePersistentSettings();
            });
}

void SettingsWindow::connectControls()
{
    for (const BoundWidget &entry : bound) {
        const char *key = entry.binding->key;
        switch (entry.binding->kind) {
        case Kind::SliderPair:
            connectSliderPair(entry);
            break;
        case Kind::Toggle:
            // A load sets a toggle from the store, which then holds its value already.
            connect(button(entry.widget), &QAbstractButton::toggled, this, [this] {
                if (!loading)
                    UpdatePersistentSettings();
            });
            break;
        case Kind::HotkeyToggle:
            connect(button(entry.widget), &QAbstractButton::toggled, this,
                    [this, key](bool checked) { storeHotkeyEnabled(key, checked); });
            break;
        case Kind::DetailsToggle:
            connect(button(entry.widget), &QAbstractButton::clicked, this,
                    [this, key] { adjustDetails(key); });
            break;
        case Kind::SmileToggle:
            connect(static_cast<QCheckBox *>(entry.widget), &QCheckBox::stateChanged, this,
                    &SettingsWindow::confirmSmileDetectionOff);
            break;
        case Kind::AbsoluteMethod:
            connect(button(entry.widget), &QAbstractButton::toggled, this, [this] {
                std::fflush(stdout);
                UpdatePersistentSettings();
            });
            break;
        case Kind::ShowClickOptions:
            connect(button(entry.widget), &QAbstractButton::toggled, this,
                    &SettingsWindow::storeShowClickOptions);
            break;
        case Kind::Radio:
        case Kind::PointingMode:
        case Kind::KeySequence:
            // Connected below, or stored only with the other widgets.
            break;
        }
    }

    connect(ui->fullFunctionRadio, &QRadioButton::clicked, this,
            &SettingsWindow::UpdatePersistentSettings);
    connect(ui->switchOnlyRadio, &QRadioButton::clicked, this,
            &SettingsWindow::confirmSwitchOnlyMode);
    connect(ui->absoluteModeRadio, &QRadioButton::clicked, this,
            &SettingsWindow::explainAbsoluteMode);
    connect(ui->relativeModeRadio, &QRadioButton::clicked, this,
            &SettingsWindow::explainRelativeMode);
    connect(ui->radioCOShowAllButtons, &QRadioButton::clicked, this,
            [this] { storeClickOptionsButtonSet(true); });
    connect(ui->radioCOShowPauseButtonOnly, &QRadioButton::clicked, this,
            [this] { storeClickOptionsButtonSet(false); });

    const auto indexChanged = qOverload<int>(&QComboBox::currentIndexChanged);
    connect(ui->comboBoxEyebrowRaise, indexChanged, this, &SettingsWindow::UpdateSettingsFeMapEbr);
    connect(ui->comboBoxSmile, indexChanged, this, &SettingsWindow::UpdateSettingsFeMapSmile);
    connect(ui->comboBoxHHS, indexChanged, this, &SettingsWindow::UpdateSettingsFeMapHHS);
    connect(ui->comboBoxMouthOpen, indexChanged, this,
            &SettingsWindow::UpdateSettingsFeMapMouthOpen);
    connect(ui->comboBoxSlowBlink, indexChanged, this,
            &SettingsWindow::UpdateSettingsFeMapSlowBlink);

    connect(ui->debugPlaybackVideo, &QPushButton::clicked, this,
            &SettingsWindow::chooseVideoInputFile);
    connect(ui->pushButtonResetSettings, &QPushButton::clicked, this,
            &SettingsWindow::ResetAllSettingsWithWarning);
    connect(ui->pushButtonSaveSettings, &QPushButton::clicked, this, &SettingsWindow::SaveSettings);
    connect(ui->pushButtonRestoreSettings, &QPushButton::clicked, this,
            &SettingsWindow::RestoreSettings);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

// --- Binding ---------------------------------------------------------------------------

QVariant SettingsWindow::widgetValue(const BoundWidget &entry) const
{
    switch (entry.binding->kind) {
    case Kind::SliderPair:
        return static_cast<QSpinBox *>(entry.widget)->value();
    case Kind::ShowClickOptions:
        return button(entry.widget)->isChecked() ? 1 : 0;
    case Kind::KeySequence:
        return QVariant::fromValue(static_cast<QKeySequenceEdit *>(entry.widget)->keySequence());
    default:
        return button(entry.widget)->isChecked();
    }
}

void SettingsWindow::loadBinding(const BoundWidget &entry, const QVariant &value)
{
    switch (entry.binding->kind) {
    case Kind::SliderPair:
        static_cast<QSlider *>(entry.partner)->setValue(value.toInt());
        break;
    case Kind::PointingMode:
        button(entry.widget)->setChecked(value.toBool());
        button(entry.partner)->setChecked(!value.toBool());
        break;
    case Kind::ShowClickOptions:
        button(entry.widget)->setChecked(value.toInt() != 0);
        break;
    case Kind::KeySequence:
        static_cast<QKeySequenceEdit *>(entry.widget)
            ->setKeySequence(
                QKeySequence::fromString(value.toString(), QKeySequence::PortableText));
        break;
    case Kind::DetailsToggle:
        button(entry.widget)->setChecked(value.toBool());
        adjustDetails(entry.binding->key);
        break;
    default:
        button(entry.widget)->setChecked(value.toBool());
        break;
    }
}

bool SettingsWindow::deferStore()
{
    if (!loading)
        return false;
    storePending = true;
    return true;
}

void SettingsWindow::storeSetting(const char *key, const QVariant &value)
{
    FacialDetectionApp *application = app();
    // A load sets the widget from this very setting: nothing to store.
    if (!application || application->settingsWindowLoading || loading)
        return;
    application->setSetting(QString::fromLatin1(key), value);
}

void SettingsWindow::UpdatePersistentSettings()
{
    FacialDetectionApp *application = app();
    if (!application || application->settingsWindowLoading || deferStore() || storing)
        return;
    // Every widget is read before the first write: a write's reload must not change what
    // the rest of this store writes.
    std::vector<QVariant> values;
    values.reserve(bound.size());
    for (const BoundWidget &entry : bound)
        values.push_back(widgetValue(entry));

    storing = true;
    QList<QPair<QString, QVariant>> methods;
    for (std::size_t i = 0; i < bound.size(); ++i) {
        const QString key = QString::fromLatin1(bound[i].binding->key);
        if (bound[i].binding->kind != Kind::AbsoluteMethod) {
            application->setSetting(key, values[i]);
            continue;
        }
        methods.append({key, values[i]});
        if (methods.size() == int(SettingsBindings::AbsoluteMethodCount)) {
            application->setSettings(methods);
            methods.clear();
        }
    }
    storing = false;
    if (reloadPending) {
        reloadPending = false;
        UpdateUI();
    }
}

void SettingsWindow::UpdateUI()
{
    FacialDetectionApp *application = app();
    if (!application || application->mainWindowUpdating)
        return;
    if (loading || storing) {
        reloadPending = true;
        return;
    }
    // Every key is read before the first widget is set: the load works from one state.
    std::vector<QVariant> values;
    values.reserve(bound.size());
    for (const BoundWidget &entry : bound)
        values.push_back(application->getSetting(QString::fromLatin1(entry.binding->key)));
    const int allButtons = application->getSetting(CO_SHOW_ALL_BUTTONS).toInt();
    int actions[SettingsBindings::ActionChoiceCount];
    for (std::size_t i = 0; i < SettingsBindings::ActionChoiceCount; ++i)
        actions[i] =
            application->getSetting(QString::fromLatin1(SettingsBindings::actionChoices()[i].key))
                .toInt();

    loading = true;
    bool absolute = false, showClickOptions = false, fullFunction = true;
    for (std::size_t i = 0; i < bound.size(); ++i) {
        loadBinding(bound[i], values[i]);
        const char *key = bound[i].binding->key;
        if (std::strcmp(key, ABSOLUTE_MODE) == 0)
            absolute = values[i].toBool();
        else if (std::strcmp(key, SHOW_CLICK_OPTIONS) == 0)
            showClickOptions = values[i].toInt() != 0;
        else if (std::strcmp(key, MODE_FULL_FUNCTION) == 0)
            fullFunction = values[i].toBool();
    }
    ui->enhancePrecisionCheck->setEnabled(!absolute);
    ui->radioCOShowAllButtons->setChecked(allButtons != 0);
    ui->radioCOShowPauseButtonOnly->setChecked(1 - allButtons != 0);
    showClickWindows(showClickOptions && allButtons != 0, showClickOptions && 1 - allButtons != 0);
    for (std::size_t i = 0; i < SettingsBindings::ActionChoiceCount; ++i)
        findChild<QComboBox *>(QString::fromLatin1(SettingsBindings::actionChoices()[i].widget))
            ->setCurrentIndex(actions[i]);
    applyUseMode(fullFunction);
    loading = false;

    // What the load itself changed (a value a widget cannot show) is stored once, now that
    // every widget holds its loaded value.
    if (storePending) {
        storePending = false;
        UpdatePersistentSettings();
    }
    if (reloadPending) {
        reloadPending = false;
        UpdateUI();
    }
}

void SettingsWindow::applyUseMode(bool fullFunction)
{
    if (fullFunction) {
        ui->tab_Pointing->setEnabled(true);
        ui->showClickOptionsCheck->setEnabled(true);
        ui->groupBox_AdaptiveSwitchMode->hide();
        for (QWidget *widget : {ui->tab_Clicking, static_cast<QWidget *>(ui->groupBox_ClickOption),
                                static_cast<QWidget *>(ui->groupBox_DwellClickTime),
                                static_cast<QWidget *>(ui->groupBox_DwellZoneSize),
                                static_cast<QWidget *>(ui->groupBox_AdvancedOptions),
                                ui->tab_Gestures, ui->tab_HotKeys})
            widget->setEnabled(true);
        return;
    }
    ui->groupBox_AdaptiveSwitchMode->show();
    for (QWidget *widget :
         {ui->tab_Pointing, ui->tab_Clicking, static_cast<QWidget *>(ui->groupBox_ClickOption),
          static_cast<QWidget *>(ui->groupBox_DwellClickTime),
          static_cast<QWidget *>(ui->groupBox_DwellZoneSize),
          static_cast<QWidget *>(ui->groupBox_AdvancedOptions)})
        widget->setEnabled(false);
}

void SettingsWindow::storeActionChoice(int choice, int ndx)
{
    // A load sets the choice from the store already; an index of -1 (a stored action the
    // list does not hold) is no choice and is never written.
    if (loading || ndx < 0)
        return;
    storeSetting(SettingsBindings::actionChoices()[choice].key, ndx);
}

void SettingsWindow::UpdateSettingsFeMapSmile(int ndx)
{
    storeActionChoice(0, ndx);
}

void SettingsWindow::UpdateSettingsFeMapMouthOpen(int ndx)
{
    storeActionChoice(1, ndx);
}

void SettingsWindow::UpdateSettingsFeMapEbr(int ndx)
{
    storeActionChoice(2, ndx);
}

void SettingsWindow::UpdateSettingsFeMapSlowBlink(int ndx)
{
    storeActionChoice(3, ndx);
}

void SettingsWindow::UpdateSettingsFeMapHHS(int ndx)
{
    storeActionChoice(4, ndx);
}

// --- Questions and notices -------------------------------------------------------------

void SettingsWindow::confirmSwitchOnlyMode()
{
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, windowTitle(),
        tr("WARNING:  Are you sure you want to use the Adaptive Switch mode?\n\nYou will NOT be "
           "able to use any head mouse functions in this mode.\nIt is therefore recommended to "
           "turn this mode on only in the presence of a care giver."),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton);
    // Each radio unchecks its partner.
    if (answer == QMessageBox::Yes) {
        ui->switchOnlyRadio->setChecked(true);
        UpdatePersistentSettings();
    } else {
        ui->fullFunctionRadio->setChecked(true);
    }
}

void SettingsWindow::explainAbsoluteMode()
{
    showNotice(this, tr("Absolute Mode of Pointing"),
               tr("In this mode, the mouse pointer will follow head direction.\n\n") +
                   tr("This is helpful when working with a single monitor, wherein the pointer "
                      "will attempt to move towards the center of the screen when looking "
                      "straight.\n\n") +
                   tr("Note: You can also use the open mouth gesture to perfectly center the "
                      "pointer on the screen.\n"),
               tr("OK"));
    // A reload while the notice was open must not undo the user's choice.
    ui->absoluteModeRadio->setChecked(true);
    UpdatePersistentSettings();
    requestTrackingSession();
}

void SettingsWindow::explainRelativeMode()
{
    showNotice(this, tr("Relative Mode of Pointing"),
               tr("In this mode, the mouse pointer will NOT follow head direction.\n\n") +
                   tr("This is helpful when working with multiple monitor, however, will result "
                      "in situations where the pointer may not be in the center of the screen "
                      "even when you are looking straight.\n\n") +
                   tr("Note: Use the open mouth gesture OR push-then-pull-back against the "
                      "screen edges to center the pointer.\n"),
               tr("OK"));
    ui->relativeModeRadio->setChecked(true);
    UpdatePersistentSettings();
}

void SettingsWindow::confirmSmileDetectionOff(int state)
{
    FacialDetectionApp *application = app();
    if (!application)
        return;
    // Only a change the user makes is questioned: never one a load or a reset makes. The
    // modes are the stored ones, which the worker applies at its next frame.
    const bool smileClicks = application->getSetting(CLICK_MODE).toInt() == 0 &&
                             application->getSetting(FEMAP_INDEX_SMILE).toInt() == 1;
    if (!loading && !application->resettingSettings && state == Qt::Unchecked && smileClicks) {
        const bool off =
            QMessageBox::question(
                this, tr("Confirmation"),
                tr("Are you sure you want to deactivate smile detection? \n\nYou are in Click "
                   "Mode of Smile and this deactivation will not allow you to click with smile "
                   "anymore!"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton) == QMessageBox::Yes;
        // Set again either way: a reload while the question was open may have changed it.
        const QSignalBlocker blocker(ui->activateSmileDetectionCheck);
        ui->activateSmileDetectionCheck->setChecked(!off);
    }
    if (!loading)
        UpdatePersistentSettings();
}

void SettingsWindow::chooseVideoInputFile()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Select Video File to use as input"),
        homeFolder() + QLatin1Char('/') + QStringLiteral("Input.avi"), tr("Video file (*.avi)"));
    AppFilePaths::playbackVideoFile = file;
    if (file.isEmpty())
        return;
    showNotice(nullptr, tr("Video Input"), tr("Switching input from camera to file."), tr("Ok"));
    done(1);
    FacialDetectionApp *application = app();
    if (application && application->tracker)
        application->tracker->OpenPlaybackFile();
}

void SettingsWindow::storeHotkeyEnabled(const char *key, bool checked)
{
    storeSetting(key, checked ? 1 : 0);
}

void SettingsWindow::showClickWindows(bool showAll, bool showPause)
{
    setShown(clickOptionsWindow, showAll);
    setShown(clickPause, showPause);
}

void SettingsWindow::storeShowClickOptions()
{
    const bool show = ui->showClickOptionsCheck->isChecked();
    // A load puts the windows in line itself, once every widget is loaded.
    if (!loading) {
        const bool all = ui->radioCOShowAllButtons->isChecked();
        showClickWindows(show && all, show && !all);
    }
    storeSetting(SHOW_CLICK_OPTIONS, show ? 1 : 0);
}

void SettingsWindow::storeClickOptionsButtonSet(bool allButtons)
{
    const bool show = ui->showClickOptionsCheck->isChecked();
    showClickWindows(show && allButtons, show && !allButtons);
    storeSetting(CO_SHOW_ALL_BUTTONS, allButtons ? 1 : 0);
}

void SettingsWindow::onShowClickOptions()
{
    QWidget &window = ui->radioCOShowAllButtons->isChecked()
                          ? static_cast<QWidget &>(clickOptionsWindow)
                          : static_cast<QWidget &>(clickPause);
    window.show();
    window.setFocus(Qt::OtherFocusReason);
    window.activateWindow();
}

// --- Details panels, size and geometry -------------------------------------------------

void SettingsWindow::adjustDetails(const char *key)
{
    for (const BoundWidget &entry : bound) {
        if (std::strcmp(entry.binding->key, key) != 0)
            continue;
        const bool open = button(entry.widget)->isChecked();
        storeSetting(key, open);
        button(entry.widget)->setText(open ? tr("Hide Details") : tr("Show Details"));
        // Only a panel that opens or closes refits the window: a reload leaves its size alone.
        const bool changes = entry.partner->isHidden() == open;
        entry.partner->setVisible(open);
        entry.partner->update();
        if (changes)
            adjustSizeWithoutShrink();
        return;
    }
}

void SettingsWindow::AdjustSmileDetails()
{
    adjustDetails(SHOW_SMILE_SETTINGS_DETAILS);
}

void SettingsWindow::AdjustMouthOpenDetails()
{
    adjustDetails(SHOW_MOUTHOPEN_SETTINGS_DETAILS);
}

void SettingsWindow::AdjustHHSDetails()
{
    adjustDetails(SHOW_HHS_SETTINGS_DETAILS);
}

void SettingsWindow::AdjustEBRDetails()
{
    adjustDetails(SHOW_EBR_SETTINGS_DETAILS);
}

void SettingsWindow::AdjustBlinkDetails()
{
    adjustDetails(SHOW_BLINK_SETTINGS_DETAILS);
}

void SettingsWindow::AdjustPointingAdvOptsDetails()
{
    adjustDetails(SHOW_POINTING_ADVOPTS_DETAILS);
}

void SettingsWindow::AdjustClickingAdvOptsDetails()
{
    adjustDetails(SHOW_CLICKING_ADVOPTS_DETAILS);
}

void SettingsWindow::AdjustGesturesAdvOptsDetails()
{
    adjustDetails(SHOW_GESTURES_ADVOPTS_DETAILS);
}

void SettingsWindow::AdjustPreferencesAdvOptsDetails()
{
    adjustDetails(SHOW_PREFERENCES_ADVOPTS_DETAILS);
}

void SettingsWindow::AdjustHotkeysAdvOptsDetails()
{
    adjustDetails(SHOW_HOTKEYS_ADVOPTS_DETAILS);
}

void SettingsWindow::AdjustPreferencesMMMDetails()
{
    adjustDetails(SHOW_PREFERENCES_MMM_DETAILS);
}

void SettingsWindow::adjustSizeWithoutShrink()
{
    setMinimumSize(size());
    adjustSize();
    setMinimumSize(formMinimumSize);
    // Never more than the work area: on a screen scaled up the pages scroll instead.
    fitToWorkArea(this);
}

int SettingsWindow::widthForEveryPage() const
{
    const auto *current = ui->tabWidget->currentWidget()
                              ? ui->tabWidget->currentWidget()->findChild<QScrollArea *>()
                              : nullptr;
    if (!current)
        return width();
    // Everything around a page's viewport, with room for its vertical scroll bar.
    const int around = width() - current->width() + 2 * current->frameWidth() +
                       current->verticalScrollBar()->sizeHint().width();
    int widest = 0;
    for (int i = 0; i < ui->tabWidget->count(); ++i) {
        const auto *area = ui->tabWidget->widget(i)->findChild<QScrollArea *>();
        if (area && area->widget())
            widest = qMax(widest, area->widget()
                                      ->minimumSizeHint()
                                      .expandedTo(area->widget()->minimumSize())
                                      .width());
    }
    return qMax(width(), widest + around);
}

void SettingsWindow::fitToPages(int widthLimit, bool mayShrink)
{
    const QRect area = logicalWorkArea();
    int target = widthForEveryPage();
    int room = area.isEmpty() ? target : area.width() - (frameGeometry().width() - width());
    if (widthLimit > 0)
        room = qMin(room, widthLimit);
    target = qMin(target, room);
    if (target > width() || (mayShrink && target < width())) {
        setMinimumWidth(qMin(minimumWidth(), target));
        resize(target, height());
    }
    fitToWorkArea(this);
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    // Closing only minimises: the window lives, and keeps its click windows, for the whole run.
    event->ignore();
    showMinimized();
}

void SettingsWindow::showEvent(QShowEvent *)
{
    // The window comes back where it was last hidden; not re-centred as a dialog would be.
    if (FacialDetectionApp *application = app())
        application->restoreWidgetGeometry(this);
    // Restored before it was framed, its place is checked again with the frame.
    fitToWorkAreaOnceFramed(this);
}

void SettingsWindow::hideEvent(QHideEvent *)
{
    if (FacialDetectionApp *application = app())
        application->saveWidgetGeometry(this);
}

// --- Reset, save and restore -----------------------------------------------------------

void SettingsWindow::ResetAllSettings()
{
    resetAllSettings({});
}

void SettingsWindow::ResetAllSettingsWithWarning()
{
    resetAllSettings([this] {
        showNotice(this, tr("Reset Settings"),
                   tr("All settings have been restored to default settings.\nTriggering a "
                      "calibration."),
                   tr("OK"));
        requestTrackingSession();
    });
}

void SettingsWindow::resetAllSettings(std::function<void()> afterPause)
{
    FacialDetectionApp *application = app();
    if (!application)
        return;
    application->resettingSettings = true;
    ++resetsPending;
    for (const SettingsDefaults::Batch &batch : SettingsDefaults::batches())
        application->setSettings(batch);
    UpdateUI();
    emit application->SettingsChanged();
    // The reset counts as running a while longer, without holding up the window meanwhile.
    QTimer::singleShot(ResetPauseMs, this, [this, afterPause] {
        if (--resetsPending == 0)
            app()->resettingSettings = false;
        if (afterPause)
            afterPause();
    });
}

void SettingsWindow::SaveSettings()
{
    const QString target = QFileDialog::getSaveFileName(
        this, QStringLiteral("Select a location to save your current settings"),
        homeFolder() + QStringLiteral("/TovraMouse.ini"), QStringLiteral("Settings file (*.ini)"));
    if (target.isEmpty())
        return;
    const bool saved = SettingsFileCopy::save(AppFilePaths::settingsFile, target);
    QMessageBox::information(nullptr, QStringLiteral("Save Settings"),
                             saved ? QStringLiteral("Settings file saved successfully!")
                                   : QStringLiteral("Could not save settings file.  Please retry."),
                             QMessageBox::Ok, QMessageBox::NoButton);
}

void SettingsWindow::RestoreSettings()
{
    const QString source =
        QFileDialog::getOpenFileName(this, tr("Choose a .ini file to restore settings from"),
                                     homeFolder(), tr("Settings file (*.ini)"));
    if (source.isEmpty())
        return;
    const QString live = AppFilePaths::settingsFile;
    // Read first: the chosen file may be the backup that the next step replaces.
    bool readable = false;
    const QByteArray content = SettingsFileCopy::read(source, &readable);
    if (readable && !SettingsFileCopy::backUp(live))
        QMessageBox::information(
            nullptr, QStringLiteral("Restore Settings"),
            QStringLiteral("Could not backup current .ini file!  Continuing to restore..."),
            QMessageBox::Ok, QMessageBox::NoButton);
    if (!readable || !SettingsFileCopy::replace(live, content)) {
        QMessageBox::information(
            nullptr, QStringLiteral("Restore Settings"),
            QStringLiteral("Could not copy input file to the standard location.  Please retry."),
            QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }
    QMessageBox::information(nullptr, QStringLiteral("Restore Settings"),
                             QStringLiteral("Settings file restored successfully!"),
                             QMessageBox::Ok, QMessageBox::NoButton);
    if (FacialDetectionApp *application = app())
        application->loadAllSettings();
}

void SettingsWindow::requestTrackingSession()
{
    FacialDetectionApp *application = app();
    if (!application || !application->tracker)
        return;
    if (!QMetaObject::invokeMethod(application->tracker, "startTrackingSession",
                                   Qt::QueuedConnection, Q_ARG(bool, false)))
        qWarning() << "The tracker does not take a tracking session request";
}

// --- Global hotkeys ------------------------------------------------------------------

namespace {

using Command = GlobalHotkeys::Command;

// What the window connects per command: the four slots and the names of the command's
// button and editor on the Hotkeys tab (after "buttonHk" and "keyseqHk").
struct HotkeySlots
{
    const char *name;
    void (SettingsWindow::*trigger)();
    void (SettingsWindow::*change)();
    void (SettingsWindow::*unregister)();
    void (SettingsWindow::*editingFinished)();
};

// clang-format off
#define TOVRA_HOTKEY_SLOTS(X)                                                                  \
    {#X, &SettingsWindow::triggerHk##X, &SettingsWindow::changeHk##X,                          \
     &SettingsWindow::unregisterHk##X, &SettingsWindow::updateKeySeqDispHk##X}
// clang-format on

// In the order of the commands.
const HotkeySlots kHotkeySlots[GlobalHotkeys::CommandCount] = {
    TOVRA_HOTKEY_SLOTS(ToggleClicking), TOVRA_HOTKEY_SLOTS(PlayPause),
    TOVRA_HOTKEY_SLOTS(ClickOpts),      TOVRA_HOTKEY_SLOTS(MainWindow),
    TOVRA_HOTKEY_SLOTS(MouseXIncrease), TOVRA_HOTKEY_SLOTS(MouseXDecrease),
    TOVRA_HOTKEY_SLOTS(MouseYIncrease), TOVRA_HOTKEY_SLOTS(MouseYDecrease),
    TOVRA_HOTKEY_SLOTS(Recenter),       TOVRA_HOTKEY_SLOTS(Calibrate),
    TOVRA_HOTKEY_SLOTS(SmileDwell),
};

#undef TOVRA_HOTKEY_SLOTS

QKeySequenceEdit *editorOf(const SettingsWindow *window, Command command)
{
    return window->findChild<QKeySequenceEdit *>(QStringLiteral("keyseqHk") +
                                                 QLatin1String(kHotkeySlots[command].name));
}

} // namespace

void SettingsWindow::createHotkeys()
{
    hotkeys = new GlobalHotkeys(this);
    connect(hotkeys, &GlobalHotkeys::problem, this, &SettingsWindow::showHotkeyProblem);
    for (int i = 0; i < GlobalHotkeys::CommandCount; ++i) {
        const HotkeySlots &entry = kHotkeySlots[i];
        connect(hotkeys->hotkey(Command(i)), &QHotkey::activated, this, entry.trigger);
        if (auto *update =
                findChild<QPushButton *>(QStringLiteral("buttonHk") + QLatin1String(entry.name)))
            connect(update, &QPushButton::clicked, this, entry.change);
        if (QKeySequenceEdit *editor = editorOf(this, Command(i)))
            connect(editor, &QKeySequenceEdit::editingFinished, this, entry.editingFinished);
        connect(qApp, &QCoreApplication::aboutToQuit, this, entry.unregister);
    }
    hotkeys->registerStored();
    // A reset or a restore brings new combinations: they are registered at once.
    if (FacialDetectionApp *application = app())
        connect(application, &FacialDetectionApp::SettingsChanged, hotkeys,
                &GlobalHotkeys::followStore);
}

void SettingsWindow::changeHotkey(Command command)
{
    QKeySequenceEdit *editor = editorOf(this, command);
    const QKeySequence wanted = editor->keySequence();
    const QString oldText = hotkeys->combination(command);
    const QString newText = wanted.toString(QKeySequence::PortableText);
    if (hotkeys->change(command, wanted)) {
        storeSetting(GlobalHotkeys::keysOf(command).sequence, newText);
        return;
    }
    QMessageBox::information(this, tr("Change Hotkey 1"),
                             tr("*** Failed to change HotKey 1 from %1 to %2 *** (already in use?)")
                                 .arg(oldText, newText),
                             QMessageBox::Ok);
    // The command kept its combination: the editor shows it again.
    editor->setKeySequence(
        QKeySequence::fromString(hotkeys->combination(command), QKeySequence::PortableText));
}

void SettingsWindow::showHotkeyProblem(const QString &text)
{
    // Not modal: it may come while the store reports a change, or before the program has
    // finished starting; nothing waits for it.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Hotkeys"), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void SettingsWindow::showHotkeyToast(const QString &text)
{
    showTimedMessage(GlobalHotkeys::toastTimeMs(), text);
}

void SettingsWindow::stepSlider(QSlider *slider, int steps)
{
    // As a drag would: the slider's own handling mirrors and stores the value.
    slider->setValue(qBound(slider->minimum(), slider->value() + steps * slider->singleStep(),
                            slider->maximum()));
}

void SettingsWindow::triggerHkToggleClicking()
{
    if (!GlobalHotkeys::isEnabled(TrackingParameters::ToggleClicking))
        return;
    clickOptionsWindow.ToggleActiveInactive();
    FacialDetectionApp *application = app();
    showHotkeyToast(application && application->clickingActive ? tr("Clicking is now ACTIVE!")
                                                               : tr("Clicking deactivated..."));
}

void SettingsWindow::triggerHkPlayPause()
{
    FacialDetectionApp *application = app();
    if (!application || !GlobalHotkeys::isEnabled(TrackingParameters::PlayPause))
        return;
    // Told by the state before the toggle.
    const bool paused = application->tracker && application->tracker->isPaused();
    showHotkeyToast(paused ? tr("Starting Tovra Mouse Processing!")
                           : tr("Temporarily Stop Tovra Mouse...."));
    emit application->togglePlayButton();
}

void SettingsWindow::triggerHkClickOpts()
{
    if (!GlobalHotkeys::isEnabled(TrackingParameters::ClickOpts))
        return;
    if (clickOptionsWindow.isMinimized()) {
        clickOptionsWindow.showNormal();
        clickOptionsWindow.activateWindow();
    } else {
        clickOptionsWindow.showMinimized();
    }
}

void SettingsWindow::triggerHkMainWindow()
{
    if (GlobalHotkeys::isEnabled(TrackingParameters::MainWindow))
        emit toggleMainWindowVisibility();
}

void SettingsWindow::triggerHkMouseXIncrease()
{
    if (GlobalHotkeys::isEnabled(TrackingParameters::MouseXIncrease))
        stepSlider(ui->mouseSensitivityXSlider, 1);
}

void SettingsWindow::triggerHkMouseXDecrease()
{
    if (GlobalHotkeys::isEnabled(TrackingParameters::MouseXDecrease))
        stepSlider(ui->mouseSensitivityXSlider, -1);
}

void SettingsWindow::triggerHkMouseYIncrease()
{
    if (GlobalHotkeys::isEnabled(TrackingParameters::MouseYIncrease))
        stepSlider(ui->mouseSensitivityYSlider, 1);
}

void SettingsWindow::triggerHkMouseYDecrease()
{
    if (GlobalHotkeys::isEnabled(TrackingParameters::MouseYDecrease))
        stepSlider(ui->mouseSensitivityYSlider, -1);
}

void SettingsWindow::triggerHkRecenter()
{
    FacialDetectionApp *application = app();
    if (!application || !application->tracker ||
        !GlobalHotkeys::isEnabled(TrackingParameters::Recenter))
        return;
    // The pointer state belongs to the worker: it recentres at its next event point.
    if (!QMetaObject::invokeMethod(application->tracker, "recenterPointer", Qt::QueuedConnection))
        qWarning() << "The tracker does not take a recentre request";
}

void SettingsWindow::triggerHkCalibrate()
{
    if (GlobalHotkeys::isEnabled(TrackingParameters::Calibrate))
        requestTrackingSession();
}

void SettingsWindow::triggerHkSmileDwell()
{
    FacialDetectionApp *application = app();
    if (application && GlobalHotkeys::isEnabled(TrackingParameters::SmileDwell))
        emit application->toggleSmileDwell();
}

// clang-format off
void SettingsWindow::changeHkToggleClicking() { changeHotkey(TrackingParameters::ToggleClicking); }
void SettingsWindow::changeHkPlayPause() { changeHotkey(TrackingParameters::PlayPause); }
void SettingsWindow::changeHkClickOpts() { changeHotkey(TrackingParameters::ClickOpts); }
void SettingsWindow::changeHkMainWindow() { changeHotkey(TrackingParameters::MainWindow); }
void SettingsWindow::changeHkMouseXIncrease() { changeHotkey(TrackingParameters::MouseXIncrease); }
void SettingsWindow::changeHkMouseXDecrease() { changeHotkey(TrackingParameters::MouseXDecrease); }
void SettingsWindow::changeHkMouseYIncrease() { changeHotkey(TrackingParameters::MouseYIncrease); }
void SettingsWindow::changeHkMouseYDecrease() { changeHotkey(TrackingParameters::MouseYDecrease); }
void SettingsWindow::changeHkRecenter() { changeHotkey(TrackingParameters::Recenter); }
void SettingsWindow::changeHkCalibrate() { changeHotkey(TrackingParameters::Calibrate); }
void SettingsWindow::changeHkSmileDwell() { changeHotkey(TrackingParameters::SmileDwell); }

void SettingsWindow::unregisterHkToggleClicking() { hotkeys->unregister(TrackingParameters::ToggleClicking); }
void SettingsWindow::unregisterHkPlayPause() { hotkeys->unregister(TrackingParameters::PlayPause); }
void SettingsWindow::unregisterHkClickOpts() { hotkeys->unregister(TrackingParameters::ClickOpts); }
void SettingsWindow::unregisterHkMainWindow() { hotkeys->unregister(TrackingParameters::MainWindow); }
void SettingsWindow::unregisterHkMouseXIncrease() { hotkeys->unregister(TrackingParameters::MouseXIncrease); }
void SettingsWindow::unregisterHkMouseXDecrease() { hotkeys->unregister(TrackingParameters::MouseXDecrease); }
void SettingsWindow::unregisterHkMouseYIncrease() { hotkeys->unregister(TrackingParameters::MouseYIncrease); }
void SettingsWindow::unregisterHkMouseYDecrease() { hotkeys->unregister(TrackingParameters::MouseYDecrease); }
void SettingsWindow::unregisterHkRecenter() { hotkeys->unregister(TrackingParameters::Recenter); }
void SettingsWindow::unregisterHkCalibrate() { hotkeys->unregister(TrackingParameters::Calibrate); }
void SettingsWindow::unregisterHkSmileDwell() { hotkeys->unregister(TrackingParameters::SmileDwell); }

// The end of typing in an editor changes nothing: the Update button applies the combination.
void SettingsWindow::updateKeySeqDispHkToggleClicking() {}
void SettingsWindow::updateKeySeqDispHkPlayPause() {}
void SettingsWindow::updateKeySeqDispHkClickOpts() {}
void SettingsWindow::updateKeySeqDispHkMainWindow() {}
void SettingsWindow::updateKeySeqDispHkMouseXIncrease() {}
void SettingsWindow::updateKeySeqDispHkMouseXDecrease() {}
void SettingsWindow::updateKeySeqDispHkMouseYIncrease() {}
void SettingsWindow::updateKeySeqDispHkMouseYDecrease() {}
void SettingsWindow::updateKeySeqDispHkRecenter() {}
void SettingsWindow::updateKeySeqDispHkCalibrate() {}
void SettingsWindow::updateKeySeqDispHkSmileDwell() {}
// clang-format on

// --- Live gesture levels ---------------------------------------------------------------

namespace {

const QString &highlightStyleSheet()
{
    static const QString sheet = QStringLiteral("\n        QGroupBox {\n"
                                                "            border: 1px solid #4CAF50;\n"
                                                "            background-color: #E6F4EA;\n"
                                                "        }\n"
                                                "        QGroupBox::title {\n"
                                                "            subcontrol-origin: margin;\n"
                                                "            left: 10px;\n"
                                                "            padding: 0 3px;\n"
                                                "        }\n    ");
    return sheet;
}

} // namespace

void SettingsWindow::connectExpressionFeedback()
{
    for (const QMetaObject::Connection &connection : qAsConst(feedbackConnections))
        disconnect(connection);
    feedbackConnections.clear();

    expressionSliders = {
        {QStringLiteral("Smile-TH"), ui->SmileThresholdSlider},
        {QStringLiteral("Smile-MinDur"), ui->SmileMinDurSlider},
        {QStringLiteral("Blink-TH"), ui->BlinkThresholdSlider},
        {QStringLiteral("Blink-MinDur"), ui->BlinkMinDurSlider},
        {QStringLiteral("Blink-Throttle"), ui->BlinkThrottleTimeSlider},
        {QStringLiteral("Blink-MaxDur"), ui->BlinkMaxDurSlider},
        {QStringLiteral("Ebr-TH"), ui->EbrThresholdSlider},
        {QStringLiteral("Ebr-MinDur"), ui->EbrMinDurSlider},
        {QStringLiteral("Mo-TH"), ui->MoThresholdSlider},
        {QStringLiteral("Mo-MinDur"), ui->MoMinDurSlider},
        {QStringLiteral("Mo-Throttle"), ui->MoThrottleTimeSlider},
        {QStringLiteral("HHS-TH"), ui->HHSThresholdSlider},
        {QStringLiteral("HHS-MinDur"), ui->HHSMinDurSlider},
        {QStringLiteral("DwellParkTH"), ui->dwellParkThresholdSlider},
        {QStringLiteral("DwellParkTime"), ui->dwellParkTimeSlider},
        {QStringLiteral("EscapeVelocity"), ui->escapeVelocitySlider},
        {QStringLiteral("TremorControl"), ui->tremorControlSlider},
    };
    expressionGroupBoxes = {
        {QStringLiteral("Smile"), ui->groupBox_Smile},
        {QStringLiteral("Blink"), ui->groupBox_SlowBlink},
        {QStringLiteral("Ebr"), ui->groupBox_EyebrowRaise},
        {QStringLiteral("Mo"), ui->groupBox_MouthOpen},
        {QStringLiteral("HHS"), ui->groupBox_HoldHeadSteady},
        {QStringLiteral("DwellParkThreshold"), ui->groupBox_DwellParkThreshold},
        {QStringLiteral("DwellParkTime"), ui->groupBox_DwellParkTime},
    };

    FacialDetectionApp *application = app();
    if (!application || !application->tracker)
        return;
    // The worker emits these every frame: they come to this thread queued.
    feedbackConnections << connect(application->tracker, &QTracker::expressionIntensityChanged,
                                   this, &SettingsWindow::showExpressionIntensity,
                                   Qt::QueuedConnection);
    feedbackConnections << connect(application->tracker, &QTracker::expressionStateChanged, this,
                                   &SettingsWindow::showExpressionState, Qt::QueuedConnection);
}

void SettingsWindow::showExpressionIntensity(QString name, int intensity, bool bSmooth,
                                             bool bColorGray, bool bFlipRedGreen)
{
    if (RealtimeAnimatedSlider *slider = expressionSliders.value(name))
        slider->setRealtimeValue(intensity, bSmooth, bColorGray, bFlipRedGreen);
}

void SettingsWindow::showExpressionState(QString expressionName, bool isActive)
{
    if (QGroupBox *box = expressionGroupBoxes.value(expressionName))
        setGroupBoxHighlight(box, isActive);
}

void SettingsWindow::setGroupBoxHighlight(QGroupBox *box, bool isActive)
{
    // Told every frame: a style sheet set again restyles the whole box and its children.
    const QString sheet = isActive ? highlightStyleSheet() : QString();
    if (box && box->styleSheet() != sheet)
        box->setStyleSheet(sheet);
}
