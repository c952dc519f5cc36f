#pragma once

#include "ui/settings/SettingsWindow.h"

#include <QMainWindow>

// The program's main window: camera preview and controls.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    SettingsWindow &settingsWindow() { return settings; }

public slots:
    void onTogglePlayButton();
    void onToggleSmileDwell();
    void onToggleVisibility();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    SettingsWindow settings;
};
