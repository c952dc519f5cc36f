#pragma once

#include <QDialog>

namespace Ui {
class NoCameraFoundForm;
}

// Tells the user that no camera could be found; the program ends after it.
class NoCameraFoundForm : public QDialog
{
    Q_OBJECT
public:
    explicit NoCameraFoundForm(QWidget *parent = nullptr);
    ~NoCameraFoundForm() override;

public slots:
    void ApplySettings() {}
    void UpdateSettings() {}

private:
    Ui::NoCameraFoundForm *ui;
};
