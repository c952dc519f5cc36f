// The detector's filtering of its feature planes against dlib's own generic filtering.

#include "vision/FhogFilter.h"

#include <dlib/matrix.h>
#include <dlib/rand.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

dlib::matrix<float, 0, 1> randomTaps(dlib::rand &rng, long count)
{
    dlib::matrix<float, 0, 1> taps(count);
    for (long i = 0; i < count; ++i)
        taps(i) = float(rng.get_random_gaussian());
    return taps;
}

// The same numbers, in the image type the detector uses and in a plain matrix, which dlib
// filters with its generic code.
void randomPlane(dlib::rand &rng, long rows, long cols, dlib::array2d<float> &plane,
                 dlib::matrix<float> &reference)
{
    plane.set_size(rows, cols);
    reference.set_size(rows, cols);
    for (long r = 0; r < rows; ++r)
        for (long c = 0; c < cols; ++c)
            plane[r][c] = reference(r, c) = float(rng.get_random_gaussian() * 3.0);
}

bool sameBits(const dlib::array2d<float> &a, const dlib::matrix<float> &b)
{
    if (a.nr() != b.nr() || a.nc() != b.nc())
        return false;
    for (long r = 0; r < a.nr(); ++r)
        for (long c = 0; c < a.nc(); ++c)
            if (std::memcmp(&a[r][c], &b(r, c), sizeof(float)) != 0)
                return false;
    return true;
}

// As the detector filters: a first filter writes the output, the next ones add to it.
void checkRandomFilterings(bool wide)
{
    const bool before = allowWideFhogFiltering(wide);
    dlib::rand rng(wide ? 61 : 67);
    dlib::array2d<float> plane, out, scratch;
    dlib::matrix<float> referencePlane, referenceOut, referenceScratch;
    for (int i = 0; i < 300; ++i) {
        const long rows = 1 + long(rng.get_random_32bit_number() % 40);
        const long cols = 1 + long(rng.get_random_32bit_number() % 70);
        randomPlane(rng, rows, cols, plane, referencePlane);
        const int filters = 1 + int(rng.get_random_32bit_number() % 3);
        for (int f = 0; f < filters; ++f) {
            const auto rowTaps = randomTaps(rng, 1 + long(rng.get_random_32bit_number() % 12));
            const auto colTaps = randomTaps(rng, 1 + long(rng.get_random_32bit_number() % 12));
            const dlib::rectangle got = dlib::float_spatially_filter_image_separable(
                plane, out, rowTaps, colTaps, scratch, f > 0);
            const dlib::rectangle expected = dlib::float_spatially_filter_image_separable(
                referencePlane, referenceOut, rowTaps, colTaps, referenceScratch, f > 0);
            ASSERT_EQ(got, expected) << "case " << i;
            ASSERT_TRUE(sameBits(out, referenceOut))
                << "case " << i << ": " << rows << " x " << cols << ", taps " << rowTaps.size()
                << " x " << colTaps.size() << ", filter " << f;
        }
    }
    allowWideFhogFiltering(before);
}

TEST(FhogFilter, EightWideGivesDlibsSumsToTheBit)
{
    checkRandomFilterings(true);
}

TEST(FhogFilter, TwoHalvesGiveDlibsSumsToTheBit)
{
    checkRandomFilterings(false);
}

} // namespace
