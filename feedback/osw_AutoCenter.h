#pragma once

#include "feedback/OnScreenWarning.h"

class osw_AutoCenter : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_AutoCenter(QWidget *parent = nullptr);
};
