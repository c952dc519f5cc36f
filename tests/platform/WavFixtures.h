#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

// Small WAV images made in memory, and the pieces to spoil them with.
namespace wav {

// 16-bit PCM samples all equal to `value` (a sound is recognisable by its value).
inline std::vector<std::int16_t> constant(std::size_t count, std::int16_t value)
{
    return std::vector<std::int16_t>(count, value);
}

inline void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8));
}
inline void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v & 0xffff));
    put16(b, quint16(v >> 16));
}
inline void set16(QByteArray &b, int at, quint16 v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char(v >> 8);
}
inline void set32(QByteArray &b, int at, quint32 v)
{
    set16(b, at, quint16(v & 0xffff));
    set16(b, at + 2, quint16(v >> 16));
}

// Byte offsets in the canonical 44-byte header that make() writes.
enum Offset
{
    RiffSize = 4,
    Channels = 22,
    SampleRate = 24,
    ByteRate = 28,
    BlockAlign = 32,
    BitsPerSample = 34,
    DataSize = 40,
    Header = 44
};

// A canonical PCM WAV image: "RIFF" size "WAVE", "fmt " (16 bytes), "data".
inline QByteArray make(const std::vector<std::int16_t> &samples, int channels = 1, int rate = 8000)
{
    QByteArray b("RIFF");
    const quint32 dataBytes = quint32(samples.size() * 2);
    put32(b, 36 + dataBytes);
    b.append("WAVEfmt ");
    put32(b, 16);
    put16(b, 1); // PCM
    put16(b, quint16(channels));
    put32(b, quint32(rate));
    put32(b, quint32(rate * channels * 2));
    put16(b, quint16(channels * 2));
    put16(b, 16);
    b.append("data");
    put32(b, dataBytes);
    for (std::int16_t s : samples)
        put16(b, quint16(s));
    return b;
}

// An 8-bit unsigned PCM image.
inline QByteArray make8(const QByteArray &samples, int channels = 1, int rate = 8000)
{
    QByteArray b("RIFF");
    put32(b, quint32(36 + samples.size()));
    b.append("WAVEfmt ");
    put32(b, 16);
    put16(b, 1);
    put16(b, quint16(channels));
    put32(b, quint32(rate));
    put32(b, quint32(rate * channels));
    put16(b, quint16(channels));
    put16(b, 8);
    b.append("data");
    put32(b, quint32(samples.size()));
    return b + samples;
}

} // namespace wav
