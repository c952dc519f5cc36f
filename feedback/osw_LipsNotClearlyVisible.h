#pragma once

#include "feedback/OnScreenWarning.h"

class osw_LipsNotClearlyVisible : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_LipsNotClearlyVisible(QWidget *parent = nullptr);
};
