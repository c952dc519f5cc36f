#pragma once

#include <QString>

#include <functional>

// Writes a clip for the file camera as writeFaceClip does (30 frames a second, 640 x 480,
// the photo fitted into the frame), in which the face smiles: both mouth corners, found by
// fitting the landmarks to the photo, are drawn outward and upward by `smile` (0 none, 1 a
// broad smile, given the time in seconds). False when the photo cannot be read, no face is
// found in it or the clip cannot be written.
bool writeSmileClip(const QString &photoPath, const QString &clipPath, int frames,
                    const std::function<double(double seconds)> &smile);
