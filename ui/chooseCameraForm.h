#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class chooseCameraForm;
}

// Lists the cameras by name at start and remembers the chosen one in the settings.
class chooseCameraForm : public QDialog
{
    Q_OBJECT
public:
    explicit chooseCameraForm(const QStringList &devices, QWidget *parent = nullptr);
    ~chooseCameraForm() override;

    int currentIndex() const;

public slots:
    void ApplySettings_AutoClose();
    void ApplySettings_Camera(int ndx);
    void UpdateSettings();

private:
    Ui::chooseCameraForm *ui;
};
