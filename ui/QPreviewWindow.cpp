#include "ui/QPreviewWindow.h"

#include "ui/QFixedAspectLabel.h"
#include "ui_QPreviewWindow.h"

#include <QDebug>
#include <QMouseEvent>
#include <QTimer>
#include <QVector>

#include <opencv2/imgproc.hpp>

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

bool isHandled(int type)
{
    return type == CV_8UC1 || type == CV_8UC3 || type == CV_8UC4;
}

void warnUnhandled(int type)
{
    qWarning() << "cvMatToQImage() - cv::Mat image type not handled in switch:" << type;
}

QImage::Format formatOf(int type)
{
    switch (type) {
    case CV_8UC1:
        return QImage::Format_Indexed8;
    case CV_8UC3:
        return QImage::Format_RGB888;
    default:
        return QImage::Format_RGB32;
    }
}

// The frame as an image of `size`, scaled without smoothing, as the label's painter would
// scale it; the painter then only copies it. Colour frames become 32-bit pixels, the form of
// the window's backing store, so that the paint copies them instead of converting each one.
QImage scaledImage(const cv::Mat &frame, const QSize &size)
{
    if (frame.type() == CV_8UC3) {
        QImage image(size, QImage::Format_RGB32);
        cv::Mat pixels(size.height(), size.width(), CV_8UC4, image.bits(),
                       size_t(image.bytesPerLine()));
        if (size == QSize(frame.cols, frame.rows)) {
            cv::cvtColor(frame, pixels, cv::COLOR_RGB2BGRA);
        } else {
            // Converted at the frame's size, where there are fewer pixels.
            thread_local cv::Mat converted;
            cv::cvtColor(frame, converted, cv::COLOR_RGB2BGRA);
            cv::resize(converted, pixels, pixels.size(), 0, 0, cv::INTER_NEAREST);
        }
        return image;
    }
    if (size == QSize(frame.cols, frame.rows))
        return QPreviewWindow::cvMatToQImage(frame);
    QImage image(size, formatOf(frame.type()));
    if (frame.type() == CV_8UC1)
        image.setColorTable(greyTable());
    cv::Mat pixels(size.height(), size.width(), frame.type(), image.bits(),
                   size_t(image.bytesPerLine()));
    cv::resize(frame, pixels, pixels.size(), 0, 0, cv::INTER_NEAREST);
    return image;
}

} // namespace

QPreviewWindow::QPreviewWindow(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::QPreviewWindow)
{
    ui->setupUi(this);
    ui->m_renderFrame->installEventFilter(this);
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
        warnUnhandled(mat.type());
        return {};
    }
}

void QPreviewWindow::OnShowProcessedImage(cv::Mat img)
{
    // An empty or unhandled frame leaves the previous one on screen.
    if (img.empty())
        return;
    if (!isHandled(img.type())) {
        warnUnhandled(img.type());
        return;
    }
    latest = img;
    stale = true;
    if (onScreen())
        showLatest();
}

void QPreviewWindow::setPanScanEnabled(bool status)
{
    // The new mode draws at another size: the next paint converts again.
    if (status != ui->m_renderFrame->panScan())
        stale = !latest.empty();
    ui->m_renderFrame->setPanScan(status);
}

bool QPreviewWindow::onScreen() const
{
    return isVisible() && !window()->isMinimized();
}

void QPreviewWindow::showLatest()
{
    stale = false;
    const QSize frameSize(latest.cols, latest.rows);
    QSize size = ui->m_renderFrame->drawnSize(frameSize);
    if (size.isEmpty())
        size = frameSize;
    ui->m_renderFrame->setImage(scaledImage(latest, size), 1.0f, 1.0f);
}

void QPreviewWindow::reportOnScreenLater()
{
    // Asked once the show, hide or minimising has taken effect.
    QTimer::singleShot(0, this, [this] {
        const bool now = onScreen();
        if (now != reportedOnScreen) {
            reportedOnScreen = now;
            emit onScreenChanged(now);
        }
    });
}

void QPreviewWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!watchedWindow) {
        watchedWindow = window();
        if (watchedWindow != this)
            watchedWindow->installEventFilter(this);
    }
    reportOnScreenLater();
}

void QPreviewWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    reportOnScreenLater();
}

bool QPreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == watchedWindow && event->type() == QEvent::WindowStateChange)
        reportOnScreenLater();
    if (watched == ui->m_renderFrame && !latest.empty()) {
        if (event->type() == QEvent::Resize)
            stale = true;
        else if (event->type() == QEvent::Paint && stale)
            showLatest();
    }
    return QWidget::eventFilter(watched, event);
}

void QPreviewWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    emit onDoubleClick();
}
