#pragma once

#include "vision/FaceBox.h"

#include <QString>

#include <opencv2/core/mat.hpp>

#include <vector>

// A face in one of Debian dlib's example photos, with its 68 hand-placed landmarks.
struct LabelledFace
{
    QString file;
    FaceBox box;
    std::vector<cv::Point> points;
};

// The example photo of that name.
QString facePhotoPath(const QString &file);
// The photo in grey, scaled by `scale`.
cv::Mat greyPhoto(const QString &file, double scale = 1.0);
// The faces listed in one of the photos' landmark files, e.g.
// "testing_with_face_landmarks.xml".
std::vector<LabelledFace> labelledFaces(const QString &xmlFile);
// A file in the program folder (model pieces, cascade).
QString programFile(const QString &name);
