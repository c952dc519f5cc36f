// Enhancement of the grey frame before detection, and how the settings choose its steps.

#include "vision/ImageEnhancement.h"
#include "vision/Clahe.h"
#include "vision/MirroredFrame.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A dim gradient with texture, so that every step changes it.
cv::Mat testImage()
{
    cv::Mat image(120, 160, CV_8UC1);
    cv::RNG rng(7);
    for (int y = 0; y < image.rows; ++y) {
        for (int x = 0; x < image.cols; ++x)
            image.at<uchar>(y, x) = uchar(20 + x / 4 + rng.uniform(0, 12));
    }
    return image;
}

bool sameImage(const cv::Mat &a, const cv::Mat &b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

TEST(EnhancementFlags, DefaultProcessingIsLogStretchAndClaheWithBuiltInValues)
{
    bool defaults = false;
    EXPECT_EQ(enhancementFlags(true, false, false, true, true, 40, &defaults), 0x12);
    EXPECT_TRUE(defaults);
}

TEST(EnhancementFlags, OtherwiseEachSettingAddsItsStep)
{
    bool defaults = true;
    EXPECT_EQ(enhancementFlags(false, false, false, false, false, 40, &defaults), 0);
    EXPECT_FALSE(defaults);
    EXPECT_EQ(enhancementFlags(false, true, false, false, false, 40), 0x10);
    EXPECT_EQ(enhancementFlags(false, false, true, true, false, 40), 0x06);
    EXPECT_EQ(enhancementFlags(false, true, true, true, true, 40), 0x17);
    // A gamma amount of 0 or 100 changes nothing, so backlight then adds no step.
    EXPECT_EQ(enhancementFlags(false, false, false, false, true, 0), 0);
    EXPECT_EQ(enhancementFlags(false, false, false, false, true, 100), 0);
}

TEST(PreprocessFrame, NoFlagsLeaveTheImageUntouched)
{
    const cv::Mat original = testImage();
    cv::Mat image = original.clone();
    preprocessFrame(image, 0, false);
    EXPECT_TRUE(sameImage(image, original));
}

TEST(PreprocessFrame, LeavesImagesThatAreNotGreyAlone)
{
    cv::Mat colour(40, 40, CV_8UC3, cv::Scalar(10, 20, 30));
    const cv::Mat original = colour.clone();
    preprocessFrame(colour, 0x17, false);
    EXPECT_TRUE(sameImage(colour, original));
    cv::Mat empty;
    preprocessFrame(empty, 0x17, false);
    EXPECT_TRUE(empty.empty());
}

TEST(PreprocessFrame, GammaBrightensDarkAreasByTheTable)
{
    cv::Mat image(1, 4, CV_8UC1);
    image.at<uchar>(0) = 0;
    image.at<uchar>(1) = 16;
    image.at<uchar>(2) = 128;
    image.at<uchar>(3) = 255;
    preprocessFrame(image, 0x01, false);
    EXPECT_EQ(image.at<uchar>(0), 0);
    EXPECT_EQ(image.at<uchar>(1), uchar(std::round(std::pow(16 / 255.0, 0.4) * 255)));
    EXPECT_EQ(image.at<uchar>(2), uchar(std::round(std::pow(128 / 255.0, 0.4) * 255)));
    EXPECT_EQ(image.at<uchar>(3), 255);
}

TEST(PreprocessFrame, GammaWorksOnColourImagesToo)
{
    cv::Mat colour(2, 2, CV_8UC3, cv::Scalar(16, 128, 255));
    cv::Mat out;
    adjustGamma(colour, out, 0.4);
    const cv::Vec3b px = out.at<cv::Vec3b>(1, 1);
    EXPECT_EQ(px[0], uchar(std::round(std::pow(16 / 255.0, 0.4) * 255)));
    EXPECT_EQ(px[2], 255);
}

TEST(PreprocessFrame, LogStretchSpansTheFullRange)
{
    cv::Mat image(2, 2, CV_8UC1, cv::Scalar(50));
    image.at<uchar>(0, 0) = 10;
    image.at<uchar>(1, 1) = 200;
    preprocessFrame(image, 0x10, false);
    EXPECT_EQ(image.at<uchar>(0, 0), 0);
    EXPECT_EQ(image.at<uchar>(1, 1), 255);
    const double expected = (std::log(51.0) - std::log(11.0)) / (std::log(201.0) - std::log(11.0));
    EXPECT_NEAR(image.at<uchar>(0, 1), expected * 255, 0.5);
}

TEST(PreprocessFrame, AFlatImageComesOutOfTheLogStretchAllZeros)
{
    cv::Mat image(30, 30, CV_8UC1, cv::Scalar(90));
    preprocessFrame(image, 0x10, false);
    EXPECT_EQ(cv::countNonZero(image), 0);
}

// The stretch worked out pixel by pixel in floats: the stretch must give exactly these pixels,
// or the landmarks found in them would move.
cv::Mat logStretchedPixelByPixel(const cv::Mat &image)
{
    cv::Mat f, out;
    image.convertTo(f, CV_32F, 1.0, 1.0);
    cv::log(f, f);
    cv::normalize(f, f, 0.0, 255.0, cv::NORM_MINMAX);
    f.convertTo(out, CV_8U);
    return out;
}

TEST(PreprocessFrame, LogStretchGivesThePixelByPixelResultOnRandomFrames)
{
    cv::RNG rng(27);
    for (int i = 0; i < 200; ++i) {
        // Frame sizes up to a camera's, odd ones too; value ranges wide, narrow and flat.
        const cv::Size size(1 + rng.uniform(0, 800), 1 + rng.uniform(0, 450));
        const int low = rng.uniform(0, 256), high = rng.uniform(low, 256);
        cv::Mat image(size, CV_8UC1);
        rng.fill(image, cv::RNG::UNIFORM, low, high + 1);
        if (i % 7 == 0)
            cv::GaussianBlur(image, image, cv::Size(5, 5), 2.0);
        const cv::Mat expected = logStretchedPixelByPixel(image);
        preprocessFrame(image, 0x10, false);
        ASSERT_TRUE(sameImage(image, expected)) << size << " values " << low << ".." << high;
    }
}

TEST(PreprocessFrame, ClaheRunsBeforeTheGlobalEqualisation)
{
    const cv::Mat original = testImage();
    cv::Mat expected = original.clone();
    cv::createCLAHE(3.0, cv::Size(8, 8))->apply(expected, expected);
    cv::equalizeHist(expected, expected);
    cv::Mat reversed = original.clone();
    cv::equalizeHist(reversed, reversed);
    cv::createCLAHE(3.0, cv::Size(8, 8))->apply(reversed, reversed);
    ASSERT_FALSE(sameImage(expected, reversed));

    cv::Mat image = original.clone();
    preprocessFrame(image, 0x06, false);
    EXPECT_TRUE(sameImage(image, expected));
    cv::Mat withDefaults = original.clone();
    preprocessFrame(withDefaults, 0x06, true);
    EXPECT_TRUE(sameImage(withDefaults, expected));
}

TEST(PreprocessFrame, ContrastLimitedEqualisationGivesOpenCvsPixelsOnRandomFrames)
{
    cv::RNG rng(41);
    for (int i = 0; i < 400; ++i) {
        // Small and camera-sized frames, grids that divide them or not (OpenCV then pads by
        // mirroring, by a whole tile count where only one side divides), no clip limit too.
        const int most = i % 2 ? 40 : 800;
        const cv::Size size(1 + rng.uniform(0, most), 1 + rng.uniform(0, most * 3 / 5));
        const cv::Size grid(rng.uniform(1, 17), rng.uniform(1, 17));
        const double clip = i % 5 == 0 ? 0.0 : rng.uniform(0.1, 40.0);
        cv::Mat whole(size.height + 4, size.width + 6, CV_8UC1, cv::Scalar(99));
        cv::Mat image = whole(cv::Rect(cv::Point(3, 2), size));
        switch (i % 4) {
        case 0:
            rng.fill(image, cv::RNG::UNIFORM, 0, 256);
            break;
        case 1:
            rng.fill(image, cv::RNG::UNIFORM, 0, 256);
            cv::GaussianBlur(image, image, cv::Size(7, 7), 3.0);
            break;
        case 2:
            image.setTo(rng.uniform(0, 256));
            break;
        default:
            rng.fill(image, cv::RNG::NORMAL, rng.uniform(0, 256), rng.uniform(1, 40));
        }
        cv::Mat expected = image.clone();
        cv::createCLAHE(clip, grid)->apply(expected, expected);
        equaliseContrastLimited(image, clip, grid);
        ASSERT_TRUE(sameImage(image, expected))
            << size << " grid " << grid << " clip " << clip << " case " << i;
        image.setTo(99);
        ASSERT_EQ(cv::countNonZero(whole != 99), 0) << "wrote outside its region, case " << i;
    }
}

// The built-in processing stretches inside the equalisation; the pixels must be those of the
// two steps one after the other.
TEST(PreprocessFrame, StretchAndEqualisationTogetherGiveThePixelsOfOneAfterTheOther)
{
    cv::RNG rng(57);
    for (int i = 0; i < 200; ++i) {
        const cv::Size size(1 + rng.uniform(0, i % 2 ? 40 : 800), 1 + rng.uniform(0, 460));
        const int low = rng.uniform(0, 256), high = rng.uniform(low, 256);
        cv::Mat whole(size.height + 2, size.width + 3, CV_8UC1, cv::Scalar(99));
        cv::Mat image = whole(cv::Rect(cv::Point(1, 1), size));
        rng.fill(image, cv::RNG::UNIFORM, low, high + 1);
        if (i % 3 == 0)
            cv::GaussianBlur(image, image, cv::Size(5, 5), 2.0);
        for (const bool defaults : {false, true}) {
            cv::Mat expected = image.clone();
            preprocessFrame(expected, EnhanceFlags::LogStretch, defaults);
            preprocessFrame(expected, EnhanceFlags::Clahe, defaults);
            cv::Mat together = image.clone();
            preprocessFrame(together, EnhanceFlags::LogStretch | EnhanceFlags::Clahe, defaults);
            ASSERT_TRUE(sameImage(together, expected))
                << size << " values " << low << ".." << high << " case " << i;
        }
        preprocessFrame(image, EnhanceFlags::LogStretch | EnhanceFlags::Clahe, true);
        image.setTo(99);
        ASSERT_EQ(cv::countNonZero(whole != 99), 0) << "wrote outside its region, case " << i;
    }
}

TEST(PreprocessFrame, WorksInPlaceOnARegionOfALargerImage)
{
    cv::Mat whole(60, 60, CV_8UC1, cv::Scalar(77));
    cv::Mat region = whole(cv::Rect(10, 10, 20, 20));
    region.setTo(30);
    region(cv::Rect(0, 0, 5, 5)).setTo(60);
    preprocessFrame(region, 0x10, false);
    EXPECT_EQ(whole.at<uchar>(10, 10), 255);
    EXPECT_EQ(whole.at<uchar>(29, 29), 0);
    EXPECT_EQ(whole.at<uchar>(5, 5), 77);
}

} // namespace

TEST(MirroredFrame, GreyAndPreviewPixelsAreOpenCvsTurnedFrameOnRandomFrames)
{
    cv::RNG rng(43);
    for (int i = 0; i < 240; ++i) {
        const int channels = (i % 3 == 0) ? 1 : (i % 3 == 1 ? 3 : 4);
        const bool flipX = i % 2, flipY = (i / 2) % 2;
        const cv::Size size(1 + rng.uniform(0, 90), 1 + rng.uniform(0, 60));
        // A region of a larger frame: its rows are not packed.
        cv::Mat whole(size.height + 3, size.width + 5, CV_8UC(channels));
        rng.fill(whole, cv::RNG::UNIFORM, 0, 256);
        const cv::Mat grabbed = whole(cv::Rect(cv::Point(2, 1), size));
        const cv::Mat before = whole.clone();

        // What the frame loop did before: turn the colour frame, then convert it.
        cv::Mat colour = grabbed.clone();
        if (flipX || flipY)
            cv::flip(colour, colour, flipX && flipY ? -1 : (flipX ? 1 : 0));
        if (channels == 1)
            cv::cvtColor(colour, colour, cv::COLOR_GRAY2BGR);
        else if (channels == 4)
            cv::cvtColor(colour, colour, cv::COLOR_BGRA2BGR);
        cv::Mat expectedGrey, expectedPreview;
        cv::cvtColor(colour, expectedGrey, cv::COLOR_BGR2GRAY);
        cv::cvtColor(colour, expectedPreview, cv::COLOR_BGR2BGRA);

        cv::Mat grey, preview;
        mirroredGrey(grabbed, flipX, flipY, grey);
        mirroredPreviewPixels(grabbed, flipX, flipY, preview);
        ASSERT_TRUE(sameImage(grey, expectedGrey)) << "case " << i << " " << size;
        ASSERT_TRUE(sameImage(preview, expectedPreview)) << "case " << i << " " << size;
        // The grabbed frame is the loop's last frame: it stays as it was.
        ASSERT_TRUE(sameImage(whole, before)) << "case " << i;
        grey.setTo(0);
        ASSERT_TRUE(sameImage(whole, before)) << "the grey image shares the frame, case " << i;
    }
}
