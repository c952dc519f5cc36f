#pragma once

#include <QByteArray>
#include <vector>

// Mono float samples in [-1, 1] at `sampleRate` as a RIFF/WAVE file, 16-bit PCM.
// Samples outside the range are clipped.
QByteArray encodeWav(const std::vector<float> &samples, int sampleRate);
