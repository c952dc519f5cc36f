#pragma once

#include <QDialog>

class QCheckBox;

// Shown once the main window is up, before tracking starts.
class ReadyToStartForm : public QDialog
{
    Q_OBJECT
public:
    explicit ReadyToStartForm(QWidget *parent = nullptr);

public slots:
    void ApplySettings();
    void UpdateSettings();

private:
    QCheckBox *autoClose;
};
