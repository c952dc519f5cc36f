#pragma once

#include <QImage>
#include <QWidget>

#include <opencv2/core/mat.hpp>

namespace Ui {
class QPreviewWindow;
}
class QFixedAspectLabel;

// The camera preview: takes the tracker's annotated frame, turns it into an image for the
// label inside it, and reports double clicks. A frame is converted only while the preview is
// on the screen, once, straight at the size the label draws it; the latest frame waits for
// the preview to be shown or resized.
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
    // Whether the preview is on the screen (shown, its window not minimised) now; sent on
    // each change, so that frames nobody sees need not be made.
    void onScreenChanged(bool onScreen);

public slots:
    void OnShowProcessedImage(cv::Mat img);
    void setPanScanEnabled(bool status);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool onScreen() const;
    void reportOnScreenLater();
    void showLatest();

    Ui::QPreviewWindow *ui;
    // The latest frame. The worker sends each frame in a buffer of its own and never writes
    // it again, so keeping it costs no copy.
    cv::Mat latest;
    // The label does not show `latest` at its current size yet.
    bool stale = false;
    bool reportedOnScreen = true; // as the tracker starts: it sends every frame
    QWidget *watchedWindow = nullptr;
};
