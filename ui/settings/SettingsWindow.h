#pragma once

#include "ui/clickwindows/ClickOptionsWindow.h"
#include "ui/clickwindows/ClickPause.h"

#include <QDialog>

// The settings dialog: presents every user setting, stores changes at once, resets all
// settings to their defaults. It holds the two click windows for the whole run.
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
    // Writes the reset default of every setting in six batches (first run and the reset
    // button). Blocks the GUI thread for a second afterwards, as the reset always has.
    void ResetAllSettings();
    // Reloads every widget from the store.
    void UpdateUI();
    // Writes every widget's value to the store.
    void UpdatePersistentSettings();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
