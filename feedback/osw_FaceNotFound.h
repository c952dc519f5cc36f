#pragma once

#include "feedback/OnScreenWarning.h"

class osw_FaceNotFound : public OnScreenWarning
{
    Q_OBJECT
public:
    explicit osw_FaceNotFound(QWidget *parent = nullptr);
};
