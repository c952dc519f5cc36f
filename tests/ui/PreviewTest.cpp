// The camera preview: how a frame becomes an image, where it is drawn in fit and fill
// modes, what surrounds it, and the double click.

#include "ui/QFixedAspectLabel.h"
#include "ui/QPreviewWindow.h"

#include <QLayout>
#include <QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

namespace {

// The label of a preview of the given size, shown so that it paints.
class Preview : public ::testing::Test
{
protected:
    QFixedAspectLabel &labelOfSize(int width, int height)
    {
        preview.resize(width, height);
        preview.show();
        return *preview.renderFrame();
    }
    QImage painted() { return preview.renderFrame()->grab().toImage(); }

    static cv::Mat colourFrame(int width, int height, cv::Vec3b rgb)
    {
        return cv::Mat(height, width, CV_8UC3, cv::Scalar(rgb[0], rgb[1], rgb[2]));
    }

    QPreviewWindow preview;
};

// Captures the warnings printed while it lives.
class WarningCapture
{
public:
    WarningCapture() { previous = qInstallMessageHandler(&WarningCapture::handle); }
    ~WarningCapture() { qInstallMessageHandler(previous); }
    static QStringList &lines()
    {
        static QStringList seen;
        return seen;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &text)
    {
        if (type == QtWarningMsg)
            lines() << text;
    }
    QtMessageHandler previous;
};

TEST_F(Preview, FitsAWideFrameWithBarsAboveAndBelow)
{
    QFixedAspectLabel &label = labelOfSize(320, 320);
    preview.setPanScanEnabled(false);
    preview.OnShowProcessedImage(colourFrame(640, 480, {200, 10, 10}));
    EXPECT_EQ(label.imageTargetRect(QSize(640, 480)), QRect(0, 40, 320, 240));

    const QImage shown = painted();
    // The bands beyond the picture take the gradient's end colour.
    EXPECT_EQ(QColor(shown.pixel(160, 0)), QColor(78, 78, 78));
    EXPECT_EQ(QColor(shown.pixel(160, 39)), QColor(78, 78, 78));
    EXPECT_EQ(QColor(shown.pixel(160, 280)), QColor(78, 78, 78));
    EXPECT_EQ(QColor(shown.pixel(160, 319)), QColor(78, 78, 78));
    EXPECT_EQ(QColor(shown.pixel(160, 160)), QColor(200, 10, 10));
    EXPECT_EQ(QColor(shown.pixel(0, 40)), QColor(200, 10, 10));
}

TEST_F(Preview, FillsAndCropsByDefault)
{
    QFixedAspectLabel &label = labelOfSize(320, 320);
    EXPECT_TRUE(label.panScan());
    preview.OnShowProcessedImage(colourFrame(640, 480, {10, 200, 10}));
    // s = 2/3: 427 x 320, overflowing by 107 columns, cut 54 on the left.
    EXPECT_EQ(label.imageTargetRect(QSize(640, 480)), QRect(-54, 0, 427, 320));
    const QImage shown = painted();
    EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(10, 200, 10));
    EXPECT_EQ(QColor(shown.pixel(319, 319)), QColor(10, 200, 10));
}

TEST_F(Preview, OneSpareColumnBecomesABarOnTheRight)
{
    QFixedAspectLabel &label = labelOfSize(641, 480);
    preview.setPanScanEnabled(false);
    preview.OnShowProcessedImage(colourFrame(640, 480, {1, 2, 3}));
    EXPECT_EQ(label.imageTargetRect(QSize(640, 480)), QRect(0, 0, 640, 480));
    const QImage shown = painted();
    EXPECT_EQ(QColor(shown.pixel(639, 240)), QColor(1, 2, 3));
    EXPECT_NE(QColor(shown.pixel(640, 240)), QColor(1, 2, 3));
}

TEST_F(Preview, IsBlackBeforeTheFirstFrameAndHasNoTarget)
{
    QFixedAspectLabel &label = labelOfSize(200, 100);
    EXPECT_TRUE(label.imageTargetRect(QSize(640, 480)).isEmpty());
    const QImage shown = painted();
    EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(Qt::black));
    EXPECT_EQ(QColor(shown.pixel(199, 99)), QColor(Qt::black));
}

TEST_F(Preview, ShowsAPixmapGivenToTheLabelWhenNoFrameCame)
{
    QFixedAspectLabel &label = labelOfSize(100, 100);
    QPixmap given(50, 50);
    given.fill(QColor(5, 6, 7));
    label.setPixmap(given);
    EXPECT_EQ(QColor(painted().pixel(50, 50)), QColor(5, 6, 7));
}

TEST_F(Preview, SwitchingModesTakesEffectWithoutANewFrame)
{
    QFixedAspectLabel &label = labelOfSize(320, 320);
    preview.OnShowProcessedImage(colourFrame(640, 480, {9, 9, 9}));
    EXPECT_EQ(QColor(painted().pixel(160, 5)), QColor(9, 9, 9));
    preview.setPanScanEnabled(false);
    EXPECT_FALSE(label.panScan());
    EXPECT_EQ(QColor(painted().pixel(160, 5)), QColor(78, 78, 78));
}

TEST_F(Preview, AFrameThatCameWhileHiddenShowsWhenShownAtTheNewSize)
{
    labelOfSize(320, 320);
    preview.OnShowProcessedImage(colourFrame(640, 480, {9, 9, 9}));
    preview.hide();
    preview.OnShowProcessedImage(colourFrame(640, 480, {200, 100, 50}));
    preview.resize(200, 100);
    preview.show();
    const QImage shown = painted();
    EXPECT_EQ(shown.size(), QSize(200, 100));
    EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(200, 100, 50));
    EXPECT_EQ(QColor(shown.pixel(199, 99)), QColor(200, 100, 50));
}

TEST_F(Preview, ColourFramesKeepTheirByteOrder)
{
    // Three bytes a pixel are RGB: the first byte is red, with no swap.
    cv::Mat frame(2, 2, CV_8UC3, cv::Scalar(255, 0, 0));
    const QImage image = QPreviewWindow::cvMatToQImage(frame);
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(255, 0, 0));

    // Four are the tracker's BGRA, blue first, shown scaled and at their own size alike.
    labelOfSize(320, 240);
    preview.OnShowProcessedImage(cv::Mat(480, 640, CV_8UC4, cv::Scalar(30, 20, 210, 255)));
    EXPECT_EQ(QColor(painted().pixel(100, 100)), QColor(210, 20, 30));
    labelOfSize(640, 480);
    preview.OnShowProcessedImage(cv::Mat(480, 640, CV_8UC4, cv::Scalar(40, 220, 10, 255)));
    EXPECT_EQ(QColor(painted().pixel(100, 100)), QColor(10, 220, 40));
}

TEST_F(Preview, GreyFramesShowAsGreyLevels)
{
    cv::Mat frame(1, 3, CV_8UC1);
    frame.at<uchar>(0, 0) = 0;
    frame.at<uchar>(0, 1) = 77;
    frame.at<uchar>(0, 2) = 255;
    const QImage image = QPreviewWindow::cvMatToQImage(frame);
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(image.pixel(1, 0)), QColor(77, 77, 77));
    EXPECT_EQ(QColor(image.pixel(2, 0)), QColor(255, 255, 255));
}

TEST_F(Preview, FourChannelFramesBecomeRgb32)
{
    cv::Mat frame(1, 1, CV_8UC4, cv::Scalar(30, 20, 10, 0));
    const QImage image = QPreviewWindow::cvMatToQImage(frame);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    // Stored as 0xAARRGGBB in memory order B, G, R, A; alpha is ignored.
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(10, 20, 30));
}

TEST_F(Preview, OddWidthsAndPaddedRowsDoNotShear)
{
    // A view into a wider frame: rows are 16 pixels apart though the view is 5 wide.
    cv::Mat wide(4, 16, CV_8UC3, cv::Scalar(0, 0, 0));
    cv::Mat view = wide(cv::Rect(3, 0, 5, 4));
    for (int y = 0; y < view.rows; ++y)
        view.at<cv::Vec3b>(y, 0) = cv::Vec3b(255, 255, 255);
    const QImage image = QPreviewWindow::cvMatToQImage(view);
    ASSERT_EQ(image.size(), QSize(5, 4));
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(QColor(image.pixel(0, y)), QColor(Qt::white)) << y;
        EXPECT_EQ(QColor(image.pixel(1, y)), QColor(Qt::black)) << y;
    }
    // Odd width of a continuous frame: three bytes a pixel, no four-byte row alignment.
    cv::Mat odd(3, 7, CV_8UC1, cv::Scalar(0));
    odd.col(6).setTo(200);
    const QImage oddImage = QPreviewWindow::cvMatToQImage(odd);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(qRed(oddImage.pixel(6, y)), 200) << y;
        EXPECT_EQ(qRed(oddImage.pixel(0, y)), 0) << y;
    }
}

TEST_F(Preview, TheImageOwnsItsPixels)
{
    cv::Mat frame(2, 2, CV_8UC3, cv::Scalar(1, 1, 1));
    const QImage image = QPreviewWindow::cvMatToQImage(frame);
    frame.setTo(cv::Scalar(99, 99, 99));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(1, 1, 1));
}

TEST_F(Preview, UnhandledFramesWarnAndKeepThePreviousImage)
{
    labelOfSize(100, 100);
    preview.OnShowProcessedImage(colourFrame(100, 100, {40, 50, 60}));
    WarningCapture capture;
    WarningCapture::lines().clear();
    preview.OnShowProcessedImage(cv::Mat(100, 100, CV_16UC1, cv::Scalar(1000)));
    preview.OnShowProcessedImage(cv::Mat(100, 100, CV_32FC3, cv::Scalar(0.5, 0.5, 0.5)));
    ASSERT_EQ(WarningCapture::lines().size(), 2);
    EXPECT_EQ(
        WarningCapture::lines().at(0),
        QString("cvMatToQImage() - cv::Mat image type not handled in switch: %1").arg(CV_16UC1));
    // An empty frame is dropped silently.
    preview.OnShowProcessedImage(cv::Mat());
    EXPECT_EQ(WarningCapture::lines().size(), 2);
    EXPECT_EQ(QColor(painted().pixel(50, 50)), QColor(40, 50, 60));
}

TEST_F(Preview, ADoubleClickIsReportedOnce)
{
    labelOfSize(200, 200);
    QSignalSpy spy(&preview, &QPreviewWindow::onDoubleClick);
    QTest::mouseDClick(&preview, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseDClick(preview.renderFrame(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(Preview, TheFormNamesAndSizesItsParts)
{
    EXPECT_EQ(preview.objectName(), "QPreviewWindow");
    EXPECT_EQ(preview.windowTitle(), "Form");
    EXPECT_EQ(preview.size(), QSize(640, 480));
    QFixedAspectLabel *label = preview.findChild<QFixedAspectLabel *>("m_renderFrame");
    ASSERT_EQ(label, preview.renderFrame());
    EXPECT_EQ(label->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    EXPECT_TRUE(label->text().isEmpty());
    EXPECT_TRUE(label->testAttribute(Qt::WA_NoSystemBackground));
    EXPECT_EQ(preview.layout()->spacing(), 0);
    EXPECT_EQ(preview.layout()->contentsMargins(), QMargins());
}

} // namespace

TEST(PreviewOnScreen, TellsWhenItsWindowIsMinimisedRestoredOrHidden)
{
    QWidget window;
    auto *preview = new QPreviewWindow(&window);
    QSignalSpy reports(preview, &QPreviewWindow::onScreenChanged);
    window.show();
    QTest::qWait(0);
    EXPECT_EQ(reports.count(), 0); // on the screen, as the tracker starts
    const auto last = [&] { return reports.isEmpty() ? -1 : int(reports.last().at(0).toBool()); };
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return last() == 0; }, 5000));
    window.setWindowState(Qt::WindowNoState);
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return last() == 1; }, 5000));
    window.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return last() == 0; }, 5000));
    EXPECT_EQ(reports.count(), 3);
}
