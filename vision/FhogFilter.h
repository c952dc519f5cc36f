#pragma once

#include <dlib/array2d.h>
#include <dlib/geometry/rectangle.h>
#include <dlib/image_transforms/spatial_filtering.h>
#include <dlib/matrix.h>

// The face detector filters every feature plane of every pyramid level with the separable parts
// of its filters, and that is most of a search's time. dlib's own filtering adds up each pixel's
// products eight pixels at a time with two four-wide halves, and the columns left over at a
// row's end one pixel after the other. This gives each pixel the same products summed in the
// same order, so the same detections, with eight-wide arithmetic where the processor has it and
// the left-over columns side by side. Declared before the detector is used: the detector's
// filtering of float planes with float filters is this one.

// Whether the eight-wide arithmetic may be used where the processor has it (it is by default);
// returns the previous choice. Both give the same sums.
bool allowWideFhogFiltering(bool allowed);

namespace dlib {

template<>
rectangle float_spatially_filter_image_separable<array2d<float>, array2d<float>,
                                                 matrix<float, 0, 1>, matrix<float, 0, 1>>(
    const array2d<float> &in, array2d<float> &out, const matrix_exp<matrix<float, 0, 1>> &rowFilter,
    const matrix_exp<matrix<float, 0, 1>> &colFilter, array2d<float> &scratch, bool addTo);

} // namespace dlib
