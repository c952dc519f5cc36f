#pragma once

#include "feedback/OnScreenWarning.h"

namespace Ui {
class osw_FaceNotFound;
}

// Shown while the face is lost.
class osw_FaceNotFound : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_FaceNotFound(QWidget *parent = nullptr);
    ~osw_FaceNotFound() override;

private slots:
    void ApplySettings() {}
    void UpdateSettings() {}

private:
    Ui::osw_FaceNotFound *ui;
};
