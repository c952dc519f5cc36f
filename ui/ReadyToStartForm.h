#pragma once

#include <QDialog>

namespace Ui {
class ReadyToStartForm;
}

// Shown once the main window is up, before tracking starts: tutorials, a start button and
// whether the window should close itself next time.
class ReadyToStartForm : public QDialog
{
    Q_OBJECT
public:
    explicit ReadyToStartForm(QWidget *parent = nullptr);
    ~ReadyToStartForm() override;

    // Where the tutorial button leads.
    static const char *const tutorialUrl;

public slots:
    void ApplySettings();
    void UpdateSettings();
    void openTutorialVideos();

private:
    Ui::ReadyToStartForm *ui;
};
