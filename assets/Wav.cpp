#include "assets/Wav.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray encodeWav(const std::vector<float> &samples, int sampleRate)
{
    const quint16 channels = 1;
    const quint16 bitsPerSample = 16;
    const quint16 blockAlign = channels * bitsPerSample / 8;
    const quint32 dataSize = quint32(samples.size()) * blockAlign;

    QByteArray out;
    out.reserve(int(44 + dataSize));
    out.append("RIFF", 4);
    appendLe32(out, 36 + dataSize); // everything after this field
    out.append("WAVE", 4);

    out.append("fmt ", 4);
    appendLe32(out, 16);
    appendLe16(out, 1); // PCM
    appendLe16(out, channels);
    appendLe32(out, quint32(sampleRate));
    appendLe32(out, quint32(sampleRate) * blockAlign);
    appendLe16(out, blockAlign);
    appendLe16(out, bitsPerSample);

    out.append("data", 4);
    appendLe32(out, dataSize);
    for (float s : samples) {
        const float clipped = std::clamp(s, -1.0f, 1.0f);
        appendLe16(out, quint16(qint16(std::lround(clipped * 32767.0f))));
    }
    return out;
}
