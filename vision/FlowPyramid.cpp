#include "vision/FlowPyramid.h"

#include <opencv2/video/tracking.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Derivatives are worked out in blocks of this many pixels each way.
constexpr int kBlock = 16;

// Reflected at the edge without repeating it, as OpenCV's Scharr derivatives of the flow read
// past a level's edge.
inline int reflected(int i, int size)
{
    if (size == 1)
        return 0;
    return i < 0 ? 1 : i >= size ? size - 2 : i;
}

} // namespace

FlowPyramid::FlowPyramid(const cv::Mat &image, cv::Size window, int maxLevel)
    : window(window)
{
    cv::buildOpticalFlowPyramid(image, levels, window, maxLevel, false);
    derivatives.resize(levels.size());
    derived.resize(levels.size());
    blocksAcross.resize(levels.size());
    for (size_t level = 0; level < levels.size(); ++level) {
        const cv::Size size = levels[level].size();
        // The border the flow may read is zero, as OpenCV's constant border; the inside is
        // written where it is read.
        cv::Mat bordered(size.height + 2 * window.height, size.width + 2 * window.width, CV_16SC2);
        const int w = bordered.cols, h = bordered.rows;
        bordered(cv::Rect(0, 0, w, window.height)).setTo(0);
        bordered(cv::Rect(0, h - window.height, w, window.height)).setTo(0);
        bordered(cv::Rect(0, window.height, window.width, size.height)).setTo(0);
        bordered(cv::Rect(w - window.width, window.height, window.width, size.height)).setTo(0);
        derivatives[level] =
            bordered(cv::Rect(window.width, window.height, size.width, size.height));
        blocksAcross[level] = (size.width + kBlock - 1) / kBlock;
        derived[level].assign(
            size_t(blocksAcross[level]) * size_t((size.height + kBlock - 1) / kBlock), false);
    }
}

const std::vector<cv::Mat> &
FlowPyramid::withDerivativesAround(const std::vector<cv::Point2f> &points)
{
    const cv::Point2f halfWindow((window.width - 1) * 0.5f, (window.height - 1) * 0.5f);
    for (size_t level = 0; level < levels.size(); ++level) {
        const cv::Rect inside(cv::Point(), levels[level].size());
        for (const cv::Point2f &point : points) {
            // The flow's window at this level starts here and reads one pixel past its far
            // edges; a few more each way cover any rounding and wide reads.
            const cv::Point2f start = point * float(1.0 / (1 << level)) - halfWindow;
            if (!(std::abs(start.x) < 1e6f) || !(std::abs(start.y) < 1e6f))
                continue;
            const cv::Rect reach(int(std::floor(start.x)) - 2, int(std::floor(start.y)) - 2,
                                 window.width + 12, window.height + 6);
            derive(int(level), reach & inside);
        }
    }
    interleaved.clear();
    for (size_t level = 0; level < levels.size(); ++level) {
        interleaved.push_back(levels[level]);
        interleaved.push_back(derivatives[level]);
    }
    return interleaved;
}

void FlowPyramid::derive(int level, const cv::Rect &area)
{
    if (area.empty())
        return;
    std::vector<bool> &done = derived[size_t(level)];
    const int across = blocksAcross[size_t(level)];
    const int rows = levels[size_t(level)].rows, cols = levels[size_t(level)].cols;
    const int lastX = (area.br().x - 1) / kBlock;
    for (int by = area.y / kBlock; by <= (area.br().y - 1) / kBlock; ++by) {
        // Each run of blocks not yet worked out in this row of blocks, at once.
        for (int bx = area.x / kBlock; bx <= lastX; ++bx) {
            if (done[size_t(by) * size_t(across) + size_t(bx)])
                continue;
            int end = bx;
            while (end <= lastX && !done[size_t(by) * size_t(across) + size_t(end)])
                done[size_t(by) * size_t(across) + size_t(end++)] = true;
            deriveArea(level, cv::Rect(cv::Point(bx * kBlock, by * kBlock),
                                       cv::Point(std::min(end * kBlock, cols),
                                                 std::min((by + 1) * kBlock, rows))));
            bx = end;
        }
    }
}

void FlowPyramid::deriveArea(int level, const cv::Rect &area)
{
    const cv::Mat &image = levels[size_t(level)];
    cv::Mat &out = derivatives[size_t(level)];
    const int rows = image.rows, cols = image.cols;
    const int x0 = area.x, x1 = area.br().x;
    // Columns x0 - 1 .. x1 of the vertical pass, the outer ones reflected at the level's edges.
    const int width = x1 - x0 + 2;
    smooth.resize(size_t(width));
    diff.resize(size_t(width));
    std::int16_t *s = smooth.data(), *d = diff.data();
    // OpenCV's Scharr derivatives: a vertical pass (3, 10, 3 and -1, 0, 1) and a horizontal one
    // (-1, 0, 1 and 3, 10, 3) in 16-bit integers, x then y for each pixel.
    for (int y = area.y; y < area.br().y; ++y) {
        const std::uint8_t *above = image.ptr<std::uint8_t>(reflected(y - 1, rows));
        const std::uint8_t *row = image.ptr<std::uint8_t>(y);
        const std::uint8_t *below = image.ptr<std::uint8_t>(reflected(y + 1, rows));
        const int first = std::max(x0 - 1, 0), last = std::min(x1, cols - 1);
        for (int x = first; x <= last; ++x) {
            s[x - x0 + 1] = std::int16_t((above[x] + below[x]) * 3 + row[x] * 10);
            d[x - x0 + 1] = std::int16_t(below[x] - above[x]);
        }
        for (const int x : {x0 - 1, x1}) {
            if (x >= first && x <= last)
                continue;
            const int c = reflected(x, cols);
            s[x - x0 + 1] = std::int16_t((above[c] + below[c]) * 3 + row[c] * 10);
            d[x - x0 + 1] = std::int16_t(below[c] - above[c]);
        }
        std::int16_t *o = out.ptr<std::int16_t>(y) + 2 * x0;
        for (int i = 1; i < width - 1; ++i) {
            o[2 * (i - 1)] = std::int16_t(s[i + 1] - s[i - 1]);
            o[2 * (i - 1) + 1] = std::int16_t((d[i + 1] + d[i - 1]) * 3 + d[i] * 10);
        }
    }
}
