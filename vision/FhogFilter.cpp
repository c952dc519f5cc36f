#include "vision/FhogFilter.h"
#include "vision/VectorPaths.h"

#include <dlib/image_transforms/assign_image.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#if TOVRA_SSE2_PATHS
#include <immintrin.h>
#endif

// Every sum below is dlib's, term by term and in its order (this file is built without
// contracting a multiply and an add into one): eight pixels at a time with three running sums
// over the filter's taps, joined as first + (second + third); a column left over at a row's end
// with one running sum. Only the width of the arithmetic and the side-by-side left-overs differ.

namespace {

#if TOVRA_SSE2_PATHS
// dlib's eight-wide numbers where the processor has no eight-wide arithmetic: two halves.
struct Halves
{
    __m128 lo, hi;
    static Halves zero() { return {_mm_setzero_ps(), _mm_setzero_ps()}; }
    static Halves load(const float *p) { return {_mm_loadu_ps(p), _mm_loadu_ps(p + 4)}; }
    static void store(float *p, Halves v)
    {
        _mm_storeu_ps(p, v.lo);
        _mm_storeu_ps(p + 4, v.hi);
    }
    static Halves add(Halves a, Halves b)
    {
        return {_mm_add_ps(a.lo, b.lo), _mm_add_ps(a.hi, b.hi)};
    }
    static Halves times(Halves a, float f)
    {
        const __m128 k = _mm_set1_ps(f);
        return {_mm_mul_ps(a.lo, k), _mm_mul_ps(a.hi, k)};
    }
};

#else
// Elsewhere eight plain floats; the compiler widens what it can.
struct Halves
{
    float f[8];
    static Halves zero() { return {}; }
    static Halves load(const float *p)
    {
        Halves v;
        std::memcpy(v.f, p, sizeof v.f);
        return v;
    }
    static void store(float *p, Halves v) { std::memcpy(p, v.f, sizeof v.f); }
    static Halves add(Halves a, Halves b)
    {
        for (int i = 0; i < 8; ++i)
            a.f[i] = a.f[i] + b.f[i];
        return a;
    }
    static Halves times(Halves a, float k)
    {
        for (int i = 0; i < 8; ++i)
            a.f[i] = a.f[i] * k;
        return a;
    }
};
#endif

struct Plane
{
    long rows = 0, cols = 0;
    const float *in = nullptr;
    float *rowSums = nullptr; // the row pass's results
    float *out = nullptr;
    const float *rowTaps = nullptr;
    long rowCount = 0;
    const float *colTaps = nullptr;
    long colCount = 0;
    long firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
    bool addTo = false;
};

namespace narrow {
#define TOVRA_PLANE_TARGET
#include "vision/FhogFilterPlane.inc"
#undef TOVRA_PLANE_TARGET
} // namespace narrow

#if TOVRA_SSE2_PATHS
namespace wide {
// Eight-wide arithmetic, for processors that have it (asked at run time). Every function that
// touches it is compiled for AVX by its own attribute; the rest of the file is not.
#define TOVRA_PLANE_TARGET [[gnu::target("avx")]]
struct Wide
{
    __m256 v;
    TOVRA_PLANE_TARGET static Wide zero() { return {_mm256_setzero_ps()}; }
    TOVRA_PLANE_TARGET static Wide load(const float *p) { return {_mm256_loadu_ps(p)}; }
    TOVRA_PLANE_TARGET static void store(float *p, Wide a) { _mm256_storeu_ps(p, a.v); }
    TOVRA_PLANE_TARGET static Wide add(Wide a, Wide b) { return {_mm256_add_ps(a.v, b.v)}; }
    TOVRA_PLANE_TARGET static Wide times(Wide a, float f)
    {
        return {_mm256_mul_ps(a.v, _mm256_set1_ps(f))};
    }
};
#include "vision/FhogFilterPlane.inc"
#undef TOVRA_PLANE_TARGET
} // namespace wide
#endif

std::atomic<bool> wideAllowed{true};

} // namespace

bool allowWideFhogFiltering(bool allowed)
{
    return wideAllowed.exchange(allowed);
}

namespace dlib {

template<>
rectangle float_spatially_filter_image_separable<array2d<float>, array2d<float>,
                                                 matrix<float, 0, 1>, matrix<float, 0, 1>>(
    const array2d<float> &in, array2d<float> &out, const matrix_exp<matrix<float, 0, 1>> &rowFilter,
    const matrix_exp<matrix<float, 0, 1>> &colFilter, array2d<float> &scratch, bool addTo)
{
    const matrix<float, 0, 1> &rowTaps = rowFilter.ref();
    const matrix<float, 0, 1> &colTaps = colFilter.ref();
    if (in.size() == 0) {
        out.clear();
        return rectangle();
    }
    out.set_size(in.nr(), in.nc());

    Plane p;
    p.rows = in.nr();
    p.cols = in.nc();
    p.rowCount = rowTaps.size();
    p.colCount = colTaps.size();
    p.firstRow = p.colCount / 2;
    p.firstCol = p.rowCount / 2;
    p.lastRow = p.rows - (p.colCount - 1) / 2;
    p.lastCol = p.cols - (p.rowCount - 1) / 2;
    const rectangle nonBorder(p.firstCol, p.firstRow, p.lastCol - 1, p.lastRow - 1);
    if (!addTo) {
        image_view<array2d<float>> view(out);
        zero_border_pixels(view, nonBorder);
    }
    // The row pass's results go to a buffer of this thread's, not to `scratch`: it has room for
    // an eight-wide read past the last row's end.
    (void)scratch;
    thread_local std::vector<float> rowSums;
    rowSums.resize(size_t(in.nr() * in.nc() + 8));
    if (p.rowCount == 0 || p.colCount == 0 || p.lastCol <= p.firstCol)
        return nonBorder;

    p.in = &in[0][0];
    p.rowSums = rowSums.data();
    p.out = &out[0][0];
    p.rowTaps = &rowTaps(0);
    p.colTaps = &colTaps(0);
    p.addTo = addTo;
#if TOVRA_SSE2_PATHS
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx && wideAllowed.load(std::memory_order_relaxed)) {
        wide::filterPlane<wide::Wide>(p);
        return nonBorder;
    }
#endif
    narrow::filterPlane<Halves>(p);
    return nonBorder;
}

} // namespace dlib
