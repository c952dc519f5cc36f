#include "feedback/osw_ExternalMouseMoveDetected.h"

#include "ui_osw_ExternalMouseMoveDetected.h"

osw_ExternalMouseMoveDetected::osw_ExternalMouseMoveDetected(QWidget *parent)
    : OnScreenWarning(parent)
    , ui(new Ui::osw_ExternalMouseMoveDetected)
{
    ui->setupUi(this);
    placeOnPrimaryScreen(2);
}

osw_ExternalMouseMoveDetected::~osw_ExternalMouseMoveDetected()
{
    delete ui;
}
