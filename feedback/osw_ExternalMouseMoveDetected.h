#pragma once

#include "feedback/OnScreenWarning.h"

class osw_ExternalMouseMoveDetected : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_ExternalMouseMoveDetected(QWidget *parent = nullptr);
};
