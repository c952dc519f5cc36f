#pragma once

#include "feedback/OnScreenWarning.h"

namespace Ui {
class osw_AutoCenter;
}

// Shown while holding the head steady is about to recentre the pointer; placed a
// quarter of the way down the screen.
class osw_AutoCenter : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_AutoCenter(QWidget *parent = nullptr);
    ~osw_AutoCenter() override;

private slots:
    void ApplySettings() {}
    void UpdateSettings() {}

private:
    Ui::osw_AutoCenter *ui;
};
