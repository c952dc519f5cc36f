#pragma once

#include <QImage>
#include <QWidget>

#include <opencv2/core/mat.hpp>

namespace Ui {
class QPreviewWindow;
}
class QFixedAspectLabel;

// The camera preview: takes the tracker's annotated frame, turns it into an image for the
// label inside it, and reports double clicks.
class QPreviewWindow : public QWidget
{
    Q_OBJECT
public:
    explicit QPreviewWindow(QWidget *parent = nullptr);
    ~QPreviewWindow() override;

    QFixedAspectLabel *renderFrame() const;

    // A deep copy of the frame as an image: 8-bit grey, RGB or four-channel frames, rows
    // read with the frame's own stride. Null for an empty frame or any other type (with a
    // warning for the latter).
    static QImage cvMatToQImage(const cv::Mat &mat);

signals:
    void onDoubleClick();

public slots:
    void OnShowProcessedImage(cv::Mat img);
    void setPanScanEnabled(bool status);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    Ui::QPreviewWindow *ui;
};
