#pragma once

#include "core/Application.h"
#include "core/SettingEntry.h"
#include "core/SoundId.h"
#include "core/SoundWave.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVariant>

#include <array>
#include <atomic>

class QTracker;
class QWidget;
class QSettings;
class osw_FaceNotFound;
class osw_LipsNotClearlyVisible;
class osw_ExternalMouseMoveDetected;
class osw_AutoCenter;

// The one application object: the settings store, the application-wide signals through which
// the worker, the windows and the hotkeys talk, the feedback sounds, the warning windows and
// the flags that keep the click engine off the program's own windows.
class FacialDetectionApp : public Application
{
    Q_OBJECT
public:
    // Loads every setting (writing missing ones with their defaults) and the sounds.
    FacialDetectionApp(int &argc, char **argv);
    ~FacialDetectionApp() override;

    // The running application object, or nullptr when the QApplication is another one.
    static FacialDetectionApp *instance();

    // --- The settings store. Reads and writes from any thread, by key name. ---
    QVariant getSetting(const QString &key);
    // Stores a known key's new value, writes it to the settings file before returning and
    // emits SettingsChanged. Unknown keys and equal values are ignored.
    void setSetting(const QString &key, const QVariant &value);
    // The same for a batch: one SettingsChanged and one ClickOptionsSettingsChanged at the
    // end when anything changed.
    void setSettings(const QList<QPair<QString, QVariant>> &pairs);
    // Every entry with its changed mark; all marks are cleared.
    QList<SettingEntry> takeChangedSettings();
    // Whether any entry carries its changed mark (a frame's cheap look before taking them).
    bool hasChangedSettings();
    // (Re)loads every key from the file, writing missing ones with their defaults; every
    // entry comes back marked changed.
    void loadAllSettings();
    QVariant readSettingWithDefault(const QString &key, const QVariant &defaultValue);
    void writeSetting(const QString &key, const QVariant &value);
    void restoreWidgetGeometry(QWidget *widget);
    void saveWidgetGeometry(QWidget *widget);

    // --- Flags shared with the click engine (plain reads and writes from both threads). ---
    bool isPointerOverOwnWindow() const { return pointerOverClickOptions || pointerOverClickPause; }
    void setPointerOverClickOptions(bool over) { pointerOverClickOptions = over; }
    void setPointerOverClickPause(bool over) { pointerOverClickPause = over; }
    bool isPointerOffScreen() const { return pointerOffScreen; }
    void setPointerOffScreen(bool off) { pointerOffScreen = off; }
    void setExternalMotion(bool detected, int timeMs);
    int externalMotionTime() const { return externalMotionTimeMs; }

    SoundWave &sound(SoundId id) { return sounds[size_t(id)]; }
    void loadSounds();

    // Whether gestures and dwelling click at all; the click engine reads it on every click.
    // Changed through setClickingActive, so that every window showing it hears of the change.
    std::atomic<bool> clickingActive{true};
    // GUI thread. Emits ClickingActiveChanged when the value changes.
    void setClickingActive(bool active);
    // What every end of a run leaves for the next start: no drag armed, clicking active.
    void storeClickOptionsOfAnEnd();
    std::atomic<int> clickCounter{0};
    std::atomic<int> clickCounterResetTime{0};
    double tickFrequency = 1.0;

    osw_FaceNotFound *faceNotFoundWindow() const { return oswFaceNotFound; }
    osw_LipsNotClearlyVisible *lipsNotClearlyVisibleWindow() const { return oswLips; }
    osw_ExternalMouseMoveDetected *externalMouseMoveWindow() const { return oswExternal; }
    osw_AutoCenter *autoCenterWindow() const { return oswAutoCenter; }

    // Refresh guards of the settings window and the main window (GUI thread only).
    bool settingsWindowLoading = false;
    bool mainWindowUpdating = false;
    bool resettingSettings = false;

    QString versionText;

    std::atomic<bool> oswExternalMouseMoveShown{false};
    std::atomic<bool> oswAutoCenterShown{false};
    std::atomic<bool> oswHHSShown{false};

    QTracker *tracker = nullptr;

signals:
    void SettingsChanged();
    void NeedAllSettingsReset();
    void showFaceNotFound();
    void hideFaceNotFound();
    void showLipsNotClearlyVisible();
    void hideLipsNotClearlyVisible();
    void showExternalMouseMoveDetected();
    void hideExternalMouseMoveDetected();
    void showAutoCenter();
    void hideAutoCenter();
    void showHHS();
    void hideHHS();
    void ClickOptionsSettingsChanged();
    void ClickingActiveChanged(bool active);
    void cdtSetAttributes(int countdownTime, int centerX, int centerY, int dia, int thickness,
                          QColor color);
    void cdtStartTimer();
    void cdtStopTimer();
    void ttwSetAttributes(QString text, QColor textColor, QFont font, QColor backgroundColor,
                          int alpha, int x, int y);
    void ttwShowText();
    void ttwHideText();
    void togglePlayButton();
    void toggleSmileDwell();

public slots:
    void ResetClickOptions_Softly();
    void ResetClickOptions_Hard();
    void onStartAutomaticallyChanged(bool checked);
    void onSingleClickDesktopChanged(bool checked);

private:
    // Stores one pair under the lock; true when the value changed. `file` is written.
    bool storeLocked(const QString &key, const QVariant &value, QSettings &file);
    void syncAndReport(QSettings &file);
    bool isOn(const char *key);

    osw_FaceNotFound *oswFaceNotFound = nullptr;
    osw_LipsNotClearlyVisible *oswLips = nullptr;
    osw_ExternalMouseMoveDetected *oswExternal = nullptr;
    osw_AutoCenter *oswAutoCenter = nullptr;

    std::array<SoundWave, size_t(SoundId::Count)> sounds;

    QMap<QString, SettingEntry> settingsMap;
    // Some entry carries its changed mark.
    bool anyChangedMark = false;

    std::atomic<bool> pointerOverClickOptions{false};
    std::atomic<bool> pointerOverClickPause{false};
    std::atomic<bool> pointerOffScreen{false};
    std::atomic<bool> externalMotionDetected{false};
    std::atomic<int> externalMotionTimeMs{0};

    bool writeFailureReported = false;
};
