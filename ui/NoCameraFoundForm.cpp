#include "ui/NoCameraFoundForm.h"

#include "ui_NoCameraFoundForm.h"

NoCameraFoundForm::NoCameraFoundForm(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::NoCameraFoundForm)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowFlags(Qt::WindowStaysOnTopHint);
    connect(ui->m_OKButton, &QPushButton::clicked, this, [this] { done(1); });
}

NoCameraFoundForm::~NoCameraFoundForm()
{
    delete ui;
}
