#include "feedback/osw_LipsNotClearlyVisible.h"

#include "ui_osw_LipsNotClearlyVisible.h"

osw_LipsNotClearlyVisible::osw_LipsNotClearlyVisible(QWidget *parent)
    : OnScreenWarning(parent)
    , ui(new Ui::osw_LipsNotClearlyVisible)
{
    ui->setupUi(this);
    placeOnPrimaryScreen(2);
}

osw_LipsNotClearlyVisible::~osw_LipsNotClearlyVisible()
{
    delete ui;
}
