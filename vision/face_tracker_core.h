#pragma once

#include "vision/FaceShape.h"

#include <dlib/matrix.h>
#include <opencv2/core/mat.hpp>

#include <istream>
#include <memory>

// The 68-point landmark model: a cascade of regression-tree forests in dlib's shape-predictor
// stream format, version 1, evaluated with dlib.
class face_tracker_core
{
public:
    face_tracker_core();
    ~face_tracker_core();
    face_tracker_core(face_tracker_core &&other) noexcept;
    face_tracker_core &operator=(face_tracker_core &&other) noexcept;

    bool isLoaded() const;
    // Fits the landmarks to the face in `box` of an 8-bit grey image; each coordinate is
    // rounded as floor(value + 0.5). An empty shape when the model is not loaded, the image
    // is not grey or the box is empty.
    FaceShape operator()(const cv::Mat &image, const FaceBox &box) const;
    // The scale and rotation of the least-squares similarity transform from the model's initial
    // shape to `current` (68 points, x and y interleaved). Needs a loaded model.
    dlib::matrix<float, 2, 2> similarityToInitial(const dlib::matrix<float, 0, 1> &current) const;

private:
    friend void deserialize_face_tracker_core(face_tracker_core &model, std::istream &in);
    struct Data;
    std::unique_ptr<Data> data;
};

// Reads a model from a byte stream and checks that it is whole: the version (which must be 1),
// the initial shape of 68 points, the forests, the anchor indices and the deltas, each
// consistent with the others, all values finite, and nothing left over. Throws
// dlib::serialization_error on any fault; the model is unchanged then.
void deserialize_face_tracker_core(face_tracker_core &model, std::istream &in);
