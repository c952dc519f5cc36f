#pragma once

#include "ui/clickwindows/FocusGiveBack.h"

#include <QDialog>

namespace Ui {
class ClickPause;
}

// The small alternative to the click-options window: one button that pauses and resumes the
// clicks that gestures and dwelling make. It flips and shows the application's live clicking
// switch and stores nothing; closing it turns the click windows off in the settings.
//
// Top-level, always on top, never keeps the focus. The owner shows, hides and places it.
class ClickPause : public QDialog
{
    Q_OBJECT
public:
    explicit ClickPause(QWidget *parent = nullptr);
    ~ClickPause() override;

public slots:
    // Shows the live clicking switch on the button.
    void UpdateUI();
    void ToggleActiveInactive();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    Ui::ClickPause *ui;
    FocusGiveBack focus;
};
