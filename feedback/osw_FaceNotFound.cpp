#include "feedback/osw_FaceNotFound.h"

#include "ui_osw_FaceNotFound.h"

osw_FaceNotFound::osw_FaceNotFound(QWidget *parent)
    : OnScreenWarning(parent)
    , ui(new Ui::osw_FaceNotFound)
{
    ui->setupUi(this);
    placeOnPrimaryScreen(2);
}

osw_FaceNotFound::~osw_FaceNotFound()
{
    delete ui;
}
