#pragma once

#include "ui/clickwindows/ClickOptionsWindow.h"
#include "ui/clickwindows/ClickPause.h"
#include "ui/settings/GlobalHotkeys.h"
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
class QSlider;
class RealtimeAnimatedSlider;

namespace Ui {
class SettingsWindow;
}

// The settings dialog: shows every user setting, stores each change at once, reloads its
// widgets whenever the store reports a change, resets all settings, and saves and restores
// the settings file. Closing it from the title bar only minimises it. It holds the two click
// windows and the eleven global hotkeys for the whole run, and shows the live gesture levels
// on the sliders of their thresholds and times.
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

    // The hotkey commands, one set of four per global hotkey: the command (nothing while it
    // is switched off in the store), the combination typed into its editor registered and
    // stored, the combination given back at quit, and an editor's end of typing (nothing).
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

    // The tracker's live gesture levels: the value on the slider of that name, and the
    // highlight of the gesture's group box while it is active. Unknown names are ignored.
    void showExpressionIntensity(QString name, int intensity, bool bSmooth, bool bColorGray,
                                 bool bFlipRedGreen);
    void showExpressionState(QString expressionName, bool isActive);

    // The window width at which no page needs a horizontal scroll bar (once shown).
    int widthForEveryPage() const;
    // Sizes the window to show every page without a horizontal scroll bar where the work
    // area allows, no wider than `widthLimit` when it is positive (the first run's place).
    // Without `mayShrink` a wider window keeps its width.
    void fitToPages(int widthLimit = 0, bool mayShrink = false);

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
    void createHotkeys();
    // (Re)connects the tracker's live levels to the sliders and group boxes; run again, it
    // replaces its connections.
    void connectExpressionFeedback();
    void setGroupBoxHighlight(QGroupBox *box, bool isActive);

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

    void changeHotkey(GlobalHotkeys::Command command);
    void stepSlider(QSlider *slider, int steps);
    void showHotkeyToast(const QString &text);
    // Tells the user, without holding anything up, of combinations that do not work.
    void showHotkeyProblem(const QString &text);

    QMap<QString, RealtimeAnimatedSlider *> expressionSliders;
    QMap<QString, QGroupBox *> expressionGroupBoxes;
    QList<QMetaObject::Connection> feedbackConnections;
    Ui::SettingsWindow *ui;

    // The eleven hotkeys, children of this window.
    GlobalHotkeys *hotkeys = nullptr;

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
