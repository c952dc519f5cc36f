#pragma once

#include "ui/clickwindows/ClickOptionsLayout.h"
#include "ui/clickwindows/FocusGiveBack.h"

#include <QDialog>
#include <QTimer>

namespace Ui {
class ClickOptionsWindow;
}

// The floating palette that chooses the kind of the next click: left or right button, double
// click, drag or scroll, each with a lock that keeps it after a click; a reset, and a button
// that pauses and resumes clicking. It holds no click state of its own: every button mirrors
// a setting, every press writes the settings, and it redraws whenever they change. The pause
// button shows and flips the application's live clicking switch.
//
// Top-level, always on top, never keeps the focus. Closing it only minimises it. The owner
// shows, hides and places it; it keeps its proportions as the user resizes it.
class ClickOptionsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ClickOptionsWindow(QWidget *parent = nullptr);
    ~ClickOptionsWindow() override;

    // Pauses clicking when it is active, else resumes it, and stores the choice for the next
    // start (the pause button, and the toggle-clicking hotkey of the settings window).
    void ToggleActiveInactive();

    int heightForWidth(int width) const override;
    virtual int widthForHeight(int height) const;

public slots:
    // Writes the ten mode and lock settings from the buttons.
    void UpdateStoredSettings();
    // Shows the stored click options and the live clicking switch.
    void UpdateUI();
    // Left click on, everything else off.
    void ResetSettings();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showClickingState(bool active);
    void recordLayout();
    void layOut(int width);
    // The window manager keeps the first-shown proportion; the toolkit drops the hint each
    // time it writes the window's size hints, so it is set again after every change.
    void applyAspectRatio();
    void keepOnScreen();

    Ui::ClickOptionsWindow *ui;

    // Width to height of the first-shown window; 0 until it was first shown.
    double aspectRatio = 0;
    int widthGrowth = 0;
    double heightScale = 0;
    bool firstResizePending = true;
    QSize referenceSize;
    ClickOptionsLayout::Recorded recorded;

    // Set while UpdateUI shows the settings, so the buttons it sets write nothing half-done.
    bool showingSettings = false;
    FocusGiveBack focus;
    // A move or a resize by the user is checked once it has come to rest.
    QTimer moveSettled;
    // Whether what comes to rest includes a resize.
    bool resizedSinceSettled = false;
};
