#include "vision/Clahe.h"
#include "vision/VectorPaths.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if TOVRA_SSE2_PATHS
#include <emmintrin.h>
#endif

// Every step below repeats OpenCV's arithmetic in the same order and precision (this file is
// built without contracting a multiply and an add into one), so that the frames the face
// detector and the landmark fit see do not change. What differs is only how the work is laid
// out: no bordered copy of the image, tables of floats, four pixels at a time.

namespace {

constexpr int kGreyLevels = 256;

// OpenCV's saturate_cast<uchar>(float): rounded half to even (the processor's mode), clamped.
inline uchar toByte(float v)
{
    const long r = std::lrintf(v);
    return uchar(r < 0 ? 0 : (r > 255 ? 255 : r));
}

// The histogram of each tile over the image as OpenCV pads it: when the grid does not divide
// the image, it is extended to the right and below, mirrored without repeating the edge.
// Four part counts per tile, so that runs of one grey value, common in a face, do not wait on
// each other's increments.
void tileHistograms(const cv::Mat &image, int tilesX, int tilesY, cv::Size tile,
                    std::vector<int> &histograms)
{
    const int w = image.cols, h = image.rows;
    histograms.resize(size_t(tilesX) * tilesY * kGreyLevels);
    std::vector<int> padColumns;
    for (int c = w; c < tilesX * tile.width; ++c)
        padColumns.push_back(cv::borderInterpolate(c, w, cv::BORDER_REFLECT_101));
    int parts[4][kGreyLevels];
    for (int ty = 0; ty < tilesY; ++ty) {
        for (int tx = 0; tx < tilesX; ++tx) {
            std::memset(parts, 0, sizeof parts);
            const int begin = tx * tile.width, end = begin + tile.width;
            const int inside = std::min(end, w);
            for (int r = ty * tile.height; r < (ty + 1) * tile.height; ++r) {
                const int sourceRow =
                    r < h ? r : cv::borderInterpolate(r, h, cv::BORDER_REFLECT_101);
                const uchar *row = image.ptr<uchar>(sourceRow);
                int c = begin;
                for (; c + 4 <= inside; c += 4) {
                    ++parts[0][row[c]];
                    ++parts[1][row[c + 1]];
                    ++parts[2][row[c + 2]];
                    ++parts[3][row[c + 3]];
                }
                for (; c < inside; ++c)
                    ++parts[0][row[c]];
                for (c = std::max(begin, w); c < end; ++c)
                    ++parts[1][row[padColumns[size_t(c - w)]]];
            }
            int *hist = histograms.data() + (size_t(ty) * tilesX + tx) * kGreyLevels;
            for (int v = 0; v < kGreyLevels; ++v)
                hist[v] = parts[0][v] + parts[1][v] + parts[2][v] + parts[3][v];
        }
    }
}

// A tile's histogram clipped at the limit, the clipped count handed back evenly, and its
// running sum scaled to 0..255: the tile's table, as floats for the interpolation.
void tileTable(int *hist, int clipLimit, float lutScale, float *table)
{
    if (clipLimit > 0) {
        int clipped = 0;
        for (int i = 0; i < kGreyLevels; ++i) {
            if (hist[i] > clipLimit) {
                clipped += hist[i] - clipLimit;
                hist[i] = clipLimit;
            }
        }
        const int batch = clipped / kGreyLevels;
        int residual = clipped - batch * kGreyLevels;
        for (int i = 0; i < kGreyLevels; ++i)
            hist[i] += batch;
        if (residual != 0) {
            const int step = std::max(kGreyLevels / residual, 1);
            for (int i = 0; i < kGreyLevels && residual > 0; i += step, residual--)
                hist[i]++;
        }
    }
    int sum = 0;
    for (int i = 0; i < kGreyLevels; ++i) {
        sum += hist[i];
        table[i] = float(toByte(sum * lutScale));
    }
}

// The histograms as they would be with each value v counted as map[v].
void mapHistograms(std::vector<int> &histograms, const uchar *map)
{
    int mapped[kGreyLevels];
    for (size_t start = 0; start < histograms.size(); start += kGreyLevels) {
        int *hist = histograms.data() + start;
        std::memset(mapped, 0, sizeof mapped);
        for (int v = 0; v < kGreyLevels; ++v)
            mapped[map[v]] += hist[v];
        std::memcpy(hist, mapped, sizeof mapped);
    }
}

// The darkest and brightest values counted in any tile: the image's own, since a tile's padding
// only repeats its pixels.
void valueRange(const std::vector<int> &histograms, int &lowest, int &highest)
{
    bool seen[kGreyLevels] = {};
    for (size_t i = 0; i < histograms.size(); ++i)
        seen[i % kGreyLevels] |= histograms[i] != 0;
    lowest = 0;
    while (lowest < kGreyLevels - 1 && !seen[lowest])
        ++lowest;
    highest = kGreyLevels - 1;
    while (highest > lowest && !seen[highest])
        --highest;
}

// One run of a row, the columns [begin, end) between the same two tile centres: each pixel
// interpolated from its four values in `quads` (above left, above right, below left, below
// right of its grey value) with the column weights and the row's.
struct RowBlend
{
    const float *quads;
    const float *toLeft;
    const float *toRight;
    float up, down;
};

inline void blendTail(const RowBlend &b, uchar *row, int x, int end)
{
    for (; x < end; ++x) {
        const float *q = b.quads + 4 * row[x];
        const float l = b.toLeft[x], r = b.toRight[x];
        row[x] = toByte((q[0] * l + q[1] * r) * b.up + (q[2] * l + q[3] * r) * b.down);
    }
}

#if TOVRA_SSE2_PATHS
// Four pixels at a time: their quads turned into one vector per table.
void blendFour(const RowBlend &b, uchar *row, int x, int end)
{
    const __m128 up = _mm_set1_ps(b.up), down = _mm_set1_ps(b.down);
    for (; x + 4 <= end; x += 4) {
        __m128 al = _mm_loadu_ps(b.quads + 4 * row[x]);
        __m128 ar = _mm_loadu_ps(b.quads + 4 * row[x + 1]);
        __m128 bl = _mm_loadu_ps(b.quads + 4 * row[x + 2]);
        __m128 br = _mm_loadu_ps(b.quads + 4 * row[x + 3]);
        _MM_TRANSPOSE4_PS(al, ar, bl, br);
        const __m128 l = _mm_loadu_ps(b.toLeft + x), r = _mm_loadu_ps(b.toRight + x);
        const __m128 top = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(al, l), _mm_mul_ps(ar, r)), up);
        const __m128 bottom = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(bl, l), _mm_mul_ps(br, r)), down);
        const __m128i rounded = _mm_cvtps_epi32(_mm_add_ps(top, bottom));
        const __m128i bytes =
            _mm_packus_epi16(_mm_packs_epi32(rounded, rounded), _mm_setzero_si128());
        const int packed = _mm_cvtsi128_si32(bytes);
        std::memcpy(row + x, &packed, 4);
    }
    blendTail(b, row, x, end);
}
#endif

void blendRun(const RowBlend &b, uchar *row, int begin, int end)
{
#if TOVRA_SSE2_PATHS
    blendFour(b, row, begin, end);
#else
    blendTail(b, row, begin, end);
#endif
}

} // namespace

void equaliseContrastLimited(cv::Mat &image, double clipLimit, cv::Size grid)
{
    equaliseContrastLimited(image, clipLimit, grid, nullptr);
}

void equaliseContrastLimited(cv::Mat &image, double clipLimit, cv::Size grid, GreyValueMap mapFor)
{
    CV_Assert(image.type() == CV_8UC1 && grid.width > 0 && grid.height > 0);
    const int w = image.cols, h = image.rows;
    if (w == 0 || h == 0)
        return;
    const int tilesX = grid.width, tilesY = grid.height;
    // OpenCV pads by a whole tile count in the direction that divides when the other does not.
    const bool divides = w % tilesX == 0 && h % tilesY == 0;
    const int paddedW = divides ? w : w + tilesX - w % tilesX;
    const int paddedH = divides ? h : h + tilesY - h % tilesY;
    const cv::Size tile(paddedW / tilesX, paddedH / tilesY);
    const int tileArea = tile.area();
    const float lutScale = float(kGreyLevels - 1) / tileArea;
    int limit = 0;
    if (clipLimit > 0.0)
        limit = std::max(int(clipLimit * tileArea / kGreyLevels), 1);

    // Per thread: the frame loop calls this on every frame; nothing is allocated after the first.
    thread_local std::vector<int> histograms;
    thread_local std::vector<float> tables;
    tileHistograms(image, tilesX, tilesY, tile, histograms);
    uchar map[kGreyLevels];
    if (mapFor) {
        int lowest = 0, highest = 0;
        valueRange(histograms, lowest, highest);
        std::memset(map, 0, sizeof map);
        mapFor(lowest, highest, map);
        mapHistograms(histograms, map);
    }
    tables.resize(size_t(tilesX) * tilesY * kGreyLevels);
    for (size_t t = 0; t < size_t(tilesX) * tilesY; ++t) {
        float *table = tables.data() + t * kGreyLevels;
        tileTable(histograms.data() + t * kGreyLevels, limit, lutScale, table);
        // The pixels keep their own values: each table is read through the mapping instead.
        if (mapFor) {
            float mapped[kGreyLevels];
            for (int v = 0; v < kGreyLevels; ++v)
                mapped[v] = table[map[v]];
            std::memcpy(table, mapped, sizeof mapped);
        }
    }

    // Where each column falls between the centres of two tiles, its weights, and the runs of
    // columns between the same two centres.
    struct Run
    {
        int begin, end, left, right;
    };
    thread_local std::vector<Run> runs;
    thread_local std::vector<float> toRight, toLeft;
    runs.clear();
    toRight.resize(size_t(w));
    toLeft.resize(size_t(w));
    const float invTileW = 1.0f / tile.width;
    for (int x = 0; x < w; ++x) {
        const float txf = float(x) * invTileW - 0.5f;
        const int tx1 = int(std::floor(txf));
        toRight[size_t(x)] = txf - float(tx1);
        toLeft[size_t(x)] = 1.0f - toRight[size_t(x)];
        const int left = std::max(tx1, 0) * kGreyLevels;
        const int right = std::min(tx1 + 1, tilesX - 1) * kGreyLevels;
        if (runs.empty() || runs.back().left != left || runs.back().right != right)
            runs.push_back({x, x, left, right});
        runs.back().end = x + 1;
    }

    // For the rows between two rows of tile centres, each run's four tables side by side: one
    // load fetches all four values a pixel is interpolated from.
    thread_local std::vector<float> quads;
    quads.resize(runs.size() * kGreyLevels * 4);
    int quadsRow = -2;
    const float invTileH = 1.0f / tile.height;
    for (int y = 0; y < h; ++y) {
        const float tyf = float(y) * invTileH - 0.5f;
        const int ty1 = int(std::floor(tyf));
        const float down = tyf - float(ty1), up = 1.0f - down;
        if (ty1 != quadsRow) {
            quadsRow = ty1;
            const float *above = tables.data() + size_t(std::max(ty1, 0)) * tilesX * kGreyLevels;
            const float *below =
                tables.data() + size_t(std::min(ty1 + 1, tilesY - 1)) * tilesX * kGreyLevels;
            float *quad = quads.data();
            for (const Run &run : runs) {
                for (int v = 0; v < kGreyLevels; ++v, quad += 4) {
                    quad[0] = above[run.left + v];
                    quad[1] = above[run.right + v];
                    quad[2] = below[run.left + v];
                    quad[3] = below[run.right + v];
                }
            }
        }
        uchar *row = image.ptr<uchar>(y);
        const float *runQuads = quads.data();
        for (const Run &run : runs) {
            blendRun({runQuads, toLeft.data(), toRight.data(), up, down}, row, run.begin, run.end);
            runQuads += kGreyLevels * 4;
        }
    }
}
