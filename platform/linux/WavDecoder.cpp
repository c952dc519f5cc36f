#include "platform/linux/WavDecoder.h"

#include <cstring>
#include <sndfile.h>

namespace platform {

namespace {

quint32 readLe32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

// A read-only file over the bytes, for sf_open_virtual.
struct MemoryFile
{
    const char *data;
    sf_count_t size;
    sf_count_t pos = 0;

    static MemoryFile &of(void *user) { return *static_cast<MemoryFile *>(user); }
    static sf_count_t length(void *user) { return of(user).size; }
    static sf_count_t tell(void *user) { return of(user).pos; }
    static sf_count_t seek(sf_count_t offset, int whence, void *user)
    {
        MemoryFile &f = of(user);
        const sf_count_t base = whence == SEEK_CUR ? f.pos : whence == SEEK_END ? f.size : 0;
        if (offset < -base || offset > f.size - base)
            return -1;
        f.pos = base + offset;
        return f.pos;
    }
    static sf_count_t read(void *ptr, sf_count_t count, void *user)
    {
        MemoryFile &f = of(user);
        const sf_count_t n = count <= 0 ? 0 : std::min(count, f.size - f.pos);
        if (n > 0)
            std::memcpy(ptr, f.data + f.pos, size_t(n));
        f.pos += n;
        return n;
    }
    static sf_count_t write(const void *, sf_count_t, void *) { return 0; }
};

} // namespace

bool WavDecoder::riffIsSound(const QByteArray &wav)
{
    const char *p = wav.constData();
    const qint64 size = wav.size();
    if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
        return false;
    const qint64 end = qint64(readLe32(p + 4)) + 8;
    if (end > size)
        return false; // truncated
    bool format = false, data = false;
    for (qint64 at = 12; at + 8 <= end;) {
        const qint64 length = readLe32(p + at + 4);
        if (length > end - at - 8)
            return false; // a chunk reaching past the end
        if (std::memcmp(p + at, "fmt ", 4) == 0)
            format = true;
        else if (std::memcmp(p + at, "data", 4) == 0)
            data = length > 0;
        at += 8 + length + (length & 1);
    }
    return format && data;
}

std::optional<WavDecoder::Pcm> WavDecoder::decode(const QByteArray &wav)
{
    if (!riffIsSound(wav))
        return std::nullopt;

    MemoryFile file{wav.constData(), wav.size()};
    SF_VIRTUAL_IO io{&MemoryFile::length, &MemoryFile::seek, &MemoryFile::read, &MemoryFile::write,
                     &MemoryFile::tell};
    SF_INFO info{};
    SNDFILE *sf = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (!sf)
        return std::nullopt;

    std::optional<Pcm> result;
    const int type = info.format & SF_FORMAT_TYPEMASK;
    const bool sane = (type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX) && info.channels >= 1 &&
                      info.channels <= maxChannels && info.samplerate >= minSampleRate &&
                      info.samplerate <= maxSampleRate && info.frames > 0 &&
                      info.frames <= sf_count_t(info.samplerate) * maxSeconds;
    if (sane) {
        Pcm pcm;
        pcm.channels = info.channels;
        pcm.sampleRate = info.samplerate;
        pcm.samples.resize(size_t(info.frames) * size_t(info.channels));
        if (sf_readf_short(sf, pcm.samples.data(), info.frames) == info.frames)
            result = std::move(pcm);
    }
    sf_close(sf);
    return result;
}

} // namespace platform
