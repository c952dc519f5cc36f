#include "feedback/osw_AutoCenter.h"

#include "ui_osw_AutoCenter.h"

osw_AutoCenter::osw_AutoCenter(QWidget *parent)
    : OnScreenWarning(parent)
    , ui(new Ui::osw_AutoCenter)
{
    ui->setupUi(this);
    placeOnPrimaryScreen(4);
}

osw_AutoCenter::~osw_AutoCenter()
{
    delete ui;
}
