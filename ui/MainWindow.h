#pragma once

#include "ui/settings/SettingsWindow.h"

#include <QMainWindow>

namespace Ui {
class MainWindow;
}
class QTracker;

// The program's main window and the owner of the settings window: the camera preview, the
// click-mode and motion-mode buttons, Play and Temp. Stop, Calibrate, Settings and Exit. It
// wires the tracker, the application and the pointer-following images together, places the
// windows on the very first run, and on quitting stops the worker in order.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    SettingsWindow &settingsWindow() { return settings; }

signals:
    void MainWindowClosing();
    void TrackerProcessCompleted();

public slots:
    void onTrackerProcessCompleted();
    void onHideUponCalibrationCompleted();
    // Hotkey: Play or Temp. Stop, the stop without its question.
    void onTogglePlayButton();
    void onToggleVisibility();
    void onToggleSmileDwell();
    void onSettingsClicked();
    void onExitClicked();
    void onCalibrateClicked();
    void onPlayPauseClicked();
    // The quit sequence without its question, for the end of the session (SIGTERM at a
    // logout, SIGINT): the same resets, so the next start does not inherit a paused or
    // drag-locked state. Closes the quit question when it is open.
    void quitWithoutAsking();

protected:
    // The quit sequence; onExitClicked runs it with no event.
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void connectTracker(QTracker *tracker);
    void setUpNotifiers(QTracker *tracker);
    void placeWindowsForFirstRun();

    void onAppSettingsChanged();
    void onFaceClickClicked(bool checked);
    void onDwellClickClicked(bool checked);
    void onMotionWithSmileClicked(bool checked);
    void onMotionAlwaysClicked(bool checked);
    void onShowHideToggled(bool checked);
    void onPreviewDoubleClicked();
    void hideNotifierImages();

    void applySmileSettings();
    void startFirstTrackingSession();
    // A request that changes engine state, run by the worker at its next event point.
    void queueToTracker(const char *method);
    bool askYesNo(const QString &text);
    // Waits for the worker to report the end of its loop; false when it did not in time.
    bool waitForTrackerToFinish(int timeoutMs);
    // Everything the quit sequence does once it is decided.
    void runQuitSequence();

    Ui::MainWindow *ui;
    SettingsWindow settings;
    bool quitInProgress = false;
    bool endRequested = false;
};
