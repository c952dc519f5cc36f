#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

// WAV images held in memory, checked and decoded with libsndfile into 16-bit interleaved
// PCM. A truncated or malformed image (bad RIFF header, a chunk larger than the data that
// follows it, no samples, absurd channel count or rate) is not playable. Nothing is ever read
// outside the given bytes, and the result owns its samples.
namespace platform {

class WavDecoder
{
public:
    struct Pcm
    {
        int channels = 0;
        int sampleRate = 0;
        std::vector<std::int16_t> samples; // interleaved
        std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
    };

    static constexpr int maxChannels = 8;
    static constexpr int minSampleRate = 4000;
    static constexpr int maxSampleRate = 192000;
    static constexpr int maxSeconds = 600;

    static std::optional<Pcm> decode(const QByteArray &wav);
    static bool isPlayable(const QByteArray &wav) { return decode(wav).has_value(); }

private:
    // The RIFF frame: "RIFF" size "WAVE", then whole chunks, one "fmt " and one non-empty
    // "data" among them, none reaching past the end.
    static bool riffIsSound(const QByteArray &wav);
};

} // namespace platform
