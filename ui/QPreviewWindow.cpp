#include "ui/QPreviewWindow.h"

#include "ui/QFixedAspectLabel.h"
#include "ui_QPreviewWindow.h"

#include <QDebug>
#include <QMouseEvent>
#include <QVector>

namespace {

const QVector<QRgb> &greyTable()
{
    static const QVector<QRgb> table = [] {
        QVector<QRgb> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = qRgb(i, i, i);
        return grey;
    }();
    return table;
}

} // namespace

QPreviewWindow::QPreviewWindow(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::QPreviewWindow)
{
    ui->setupUi(this);
}

QPreviewWindow::~QPreviewWindow()
{
    delete ui;
}

QFixedAspectLabel *QPreviewWindow::renderFrame() const
{
    return ui->m_renderFrame;
}

QImage QPreviewWindow::cvMatToQImage(const cv::Mat &mat)
{
    if (mat.empty())
        return {};
    // The row stride comes from the frame: rows may be padded, and a width that is not a
    // multiple of four must not shear the picture.
    const int bytesPerLine = int(mat.step);
    switch (mat.type()) {
    case CV_8UC1: {
        QImage view(mat.data, mat.cols, mat.rows, bytesPerLine, QImage::Format_Indexed8);
        view.setColorTable(greyTable());
        return view.copy();
    }
    case CV_8UC3:
        return QImage(mat.data, mat.cols, mat.rows, bytesPerLine, QImage::Format_RGB888).copy();
    case CV_8UC4:
        return QImage(mat.data, mat.cols, mat.rows, bytesPerLine, QImage::Format_RGB32).copy();
    default:
        qWarning() << "cvMatToQImage() - cv::Mat image type not handled in switch:" << mat.type();
        return {};
    }
}

void QPreviewWindow::OnShowProcessedImage(cv::Mat img)
{
    const QImage image = cvMatToQImage(img);
    // An empty or unhandled frame leaves the previous one on screen.
    if (image.isNull())
        return;
    ui->m_renderFrame->setImage(image, 1.0f, 1.0f);
}

void QPreviewWindow::setPanScanEnabled(bool status)
{
    ui->m_renderFrame->setPanScan(status);
}

void QPreviewWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    emit onDoubleClick();
}
