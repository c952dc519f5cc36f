#include "vision/MirroredFrame.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdint>

namespace {

int flipCode(bool flipX, bool flipY)
{
    return flipX && flipY ? -1 : flipX ? 1 : 0;
}

// Built as a 32-bit value whose bytes lie blue, green, red, 255 in memory.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the preview's pixels assume little-endian");

template<int Channels> std::uint32_t pixelAt(const std::uint8_t *p)
{
    if (Channels == 1)
        return 0xff000000u | std::uint32_t(p[0]) * 0x010101u;
    return 0xff000000u | std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
}

template<int Channels> void mirrorRows(const cv::Mat &src, bool flipX, bool flipY, cv::Mat &dst)
{
    const int cols = src.cols;
    for (int y = 0; y < src.rows; ++y) {
        const std::uint8_t *in = src.ptr<std::uint8_t>(flipY ? src.rows - 1 - y : y);
        std::uint32_t *out = dst.ptr<std::uint32_t>(y);
        if (flipX) {
            for (int x = 0; x < cols; ++x)
                out[cols - 1 - x] = pixelAt<Channels>(in + x * Channels);
        } else {
            for (int x = 0; x < cols; ++x)
                out[x] = pixelAt<Channels>(in + x * Channels);
        }
    }
}

} // namespace

void mirroredGrey(const cv::Mat &grabbed, bool flipX, bool flipY, cv::Mat &grey)
{
    // Grey first, then turned: the conversion is pixel by pixel, so the order does not change
    // a value, and turning a third of the bytes is cheaper.
    cv::Mat converted;
    switch (grabbed.channels()) {
    case 1:
        converted = grabbed;
        break;
    case 4:
        cv::cvtColor(grabbed, converted, cv::COLOR_BGRA2GRAY);
        break;
    default:
        cv::cvtColor(grabbed, converted, cv::COLOR_BGR2GRAY);
        break;
    }
    if (flipX || flipY)
        cv::flip(converted, grey, flipCode(flipX, flipY));
    else if (converted.data == grabbed.data)
        grey = converted.clone();
    else
        grey = converted;
}

void mirroredPreviewPixels(const cv::Mat &grabbed, bool flipX, bool flipY, cv::Mat &bgra)
{
    bgra.release();
    if (grabbed.empty() || grabbed.depth() != CV_8U)
        return;
    bgra.create(grabbed.rows, grabbed.cols, CV_8UC4);
    switch (grabbed.channels()) {
    case 1:
        mirrorRows<1>(grabbed, flipX, flipY, bgra);
        break;
    case 3:
        mirrorRows<3>(grabbed, flipX, flipY, bgra);
        break;
    case 4:
        mirrorRows<4>(grabbed, flipX, flipY, bgra);
        break;
    default:
        bgra.release();
        break;
    }
}
