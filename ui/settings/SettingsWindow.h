#pragma once

#include "ui/clickwindows/ClickOptionsWindow.h"
#include "ui/clickwindows/ClickPause.h"
#include "ui/settings/SettingsBindings.h"

#include <QDialog>
#include <QGroupBox>
#include <QList>
#include <QMap>
#include <QMetaObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class QAbstractButton;
class QHotkey;
class RealtimeAnimatedSlider;

namespace Ui {
class SettingsWindow;
}

// The settings dialog: shows every user setting, stores each change at once, reloads its
// widgets whenever the store reports a change, resets all settings, and saves and restores
// the settings file. Closing it from the title bar only minimises it. It holds the two click
// windows for the whole run.
class SettingsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsWindow(QWidget *parent = nullptr);
    ~SettingsWindow() override;

    // Top-level windows of their own, built hidden with this window; the main window restores,
    // places and saves their geometries. Declared in this order so that the click-pause
    // window goes first when this window is destroyed.
    ClickOptionsWindow clickOptionsWindow{nullptr};
    ClickPause clickPause{nullptr};

signals:
    void toggleMainWindowVisibility();

public slots:
    // Writes every bound widget to the store.
    void UpdatePersistentSettings();
    void UpdateSettingsFeMapEbr(int ndx);
    void UpdateSettingsFeMapSlowBlink(int ndx);
    void UpdateSettingsFeMapSmile(int ndx);
    void UpdateSettingsFeMapMouthOpen(int ndx);
    void UpdateSettingsFeMapHHS(int ndx);
    // Writes the reset default of every setting in six batches (first run and the reset
    // button), then waits a second before the reset counts as over.
    void ResetAllSettings();
    // The reset button: the reset, a notice once it is over, then a calibration.
    void ResetAllSettingsWithWarning();
    void SaveSettings();
    void RestoreSettings();
    void AdjustSmileDetails();
    void AdjustMouthOpenDetails();
    void AdjustHHSDetails();
    void AdjustEBRDetails();
    void AdjustBlinkDetails();
    void AdjustPointingAdvOptsDetails();
    void AdjustClickingAdvOptsDetails();
    void AdjustGesturesAdvOptsDetails();
    void AdjustPreferencesAdvOptsDetails();
    void AdjustHotkeysAdvOptsDetails();
    void AdjustPreferencesMMMDetails();
    // Grows the window to what its contents ask for, never shrinking it.
    void adjustSizeWithoutShrink();
    // Reloads every bound widget from the store.
    void UpdateUI();

    // The hotkey commands: one set of four per global hotkey.
    void triggerHkToggleClicking();
    void changeHkToggleClicking();
    void unregisterHkToggleClicking();
    void updateKeySeqDispHkToggleClicking();
    void triggerHkPlayPause();
    void changeHkPlayPause();
    void unregisterHkPlayPause();
    void updateKeySeqDispHkPlayPause();
    void triggerHkClickOpts();
    void changeHkClickOpts();
    void unregisterHkClickOpts();
    void updateKeySeqDispHkClickOpts();
    void triggerHkMainWindow();
    void changeHkMainWindow();
    void unregisterHkMainWindow();
    void updateKeySeqDispHkMainWindow();
    void triggerHkMouseXIncrease();
    void changeHkMouseXIncrease();
    void unregisterHkMouseXIncrease();
    void updateKeySeqDispHkMouseXIncrease();
    void triggerHkMouseXDecrease();
    void changeHkMouseXDecrease();
    void unregisterHkMouseXDecrease();
    void updateKeySeqDispHkMouseXDecrease();
    void triggerHkMouseYIncrease();
    void changeHkMouseYIncrease();
    void unregisterHkMouseYIncrease();
    void updateKeySeqDispHkMouseYIncrease();
    void triggerHkMouseYDecrease();
    void changeHkMouseYDecrease();
    void unregisterHkMouseYDecrease();
    void updateKeySeqDispHkMouseYDecrease();
    void triggerHkRecenter();
    void changeHkRecenter();
    void unregisterHkRecenter();
    void updateKeySeqDispHkRecenter();
    void triggerHkCalibrate();
    void changeHkCalibrate();
    void unregisterHkCalibrate();
    void updateKeySeqDispHkCalibrate();
    void triggerHkSmileDwell();
    void changeHkSmileDwell();
    void unregisterHkSmileDwell();
    void updateKeySeqDispHkSmileDwell();

    // Brings the chosen click window to the front.
    void onShowClickOptions();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct BoundWidget
    {
        const SettingsBindings::Binding *binding;
        QWidget *widget;
        QWidget *partner;
    };

    void fixScrollAreas();
    void hideDiagnosticPages();
    void connectSliderPair(const BoundWidget &bound);
    void connectControls();
    void connectExpressionFeedback();

    // Whether a store asked for now has to wait: a load that changes what a widget can hold
    // (a pair clamping a value, one of several chosen methods winning) stores all widgets
    // once it is over, so a half-loaded form is never written back.
    bool deferStore();
    void storeSetting(const char *key, const QVariant &value);
    void loadBinding(const BoundWidget &bound, const QVariant &value);
    QVariant widgetValue(const BoundWidget &bound) const;
    void storeActionChoice(int choice, int ndx);
    void adjustDetails(const char *key);
    void applyUseMode(bool fullFunction);
    void showClickWindows(bool show, bool allButtons);

    void confirmSwitchOnlyMode();
    void explainAbsoluteMode();
    void explainRelativeMode();
    void confirmSmileDetectionOff(int state);
    void chooseVideoInputFile();
    void storeHotkeyEnabled(const char *key, bool checked);
    void storeShowClickOptions();
    void storeClickOptionsButtonSet(bool allButtons);

    void resetAllSettings(std::function<void()> afterPause);
    // A tracking session with its start prompt, run by the worker at its next event point.
    void requestTrackingSession();

    QMap<QString, RealtimeAnimatedSlider *> expressionSliders;
    QMap<QString, QGroupBox *> expressionGroupBoxes;
    QList<QMetaObject::Connection> feedbackConnections;
    Ui::SettingsWindow *ui;

    QHotkey *hotkeyToggleClicking = nullptr;
    QHotkey *hotkeyPlayPause = nullptr;
    QHotkey *hotkeyClickOpts = nullptr;
    QHotkey *hotkeyMainWindow = nullptr;
    QHotkey *hotkeyMouseXIncrease = nullptr;
    QHotkey *hotkeyMouseXDecrease = nullptr;
    QHotkey *hotkeyMouseYIncrease = nullptr;
    QHotkey *hotkeyMouseYDecrease = nullptr;
    QHotkey *hotkeyRecenter = nullptr;
    QHotkey *hotkeyCalibrate = nullptr;
    QHotkey *hotkeySmileDwell = nullptr;

    std::vector<BoundWidget> bound;
    // The smallest size the form allows; a refit returns to it.
    QSize formMinimumSize;
    // Reentrancy of the store-and-reload loop: a load defers its stores, a store of all
    // widgets defers the reloads its own writes set off.
    bool loading = false;
    bool storing = false;
    bool storePending = false;
    bool reloadPending = false;
    // Resets whose closing pause is still running.
    int resetsPending = 0;
};
