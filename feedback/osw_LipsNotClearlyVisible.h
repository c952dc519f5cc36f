#pragma once

#include "feedback/OnScreenWarning.h"

namespace Ui {
class osw_LipsNotClearlyVisible;
}

// Shown while the lips cannot be measured.
class osw_LipsNotClearlyVisible : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_LipsNotClearlyVisible(QWidget *parent = nullptr);
    ~osw_LipsNotClearlyVisible() override;

private slots:
    void ApplySettings() {}
    void UpdateSettings() {}

private:
    Ui::osw_LipsNotClearlyVisible *ui;
};
