#pragma once

#include "feedback/OnScreenWarning.h"

namespace Ui {
class osw_ExternalMouseMoveDetected;
}

// Shown while another mouse has moved the pointer and processing waits.
class osw_ExternalMouseMoveDetected : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_ExternalMouseMoveDetected(QWidget *parent = nullptr);
    ~osw_ExternalMouseMoveDetected() override;

private slots:
    void ApplySettings() {}
    void UpdateSettings() {}

private:
    Ui::osw_ExternalMouseMoveDetected *ui;
};
