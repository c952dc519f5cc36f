// The program's feedback sounds, synthesised: short, quiet at both ends, and each one
// recognisable by ear (pitch, length and timbre all differ).

#include "assets/GeneratedAsset.h"
#include "assets/Wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int SampleRate = 44100;
constexpr double Pi = 3.14159265358979323846;

using Samples = std::vector<float>;

int framesFor(double seconds)
{
    return int(std::lround(seconds * SampleRate));
}

// A decaying tone gliding exponentially from startHz to endHz, with optional overtones.
struct Tone
{
    double seconds;
    double startHz;
    double endHz;
    double decayPerSecond;
    double amplitude;
    std::vector<double> harmonics{1.0}; // relative levels of partials 1, 2, 3 ...
};

Samples render(const Tone &tone)
{
    Samples out(size_t(framesFor(tone.seconds)));
    double phase = 0.0;
    double norm = 0.0;
    for (double h : tone.harmonics)
        norm += std::abs(h);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / SampleRate;
        const double progress = t / tone.seconds;
        const double hz = tone.startHz * std::pow(tone.endHz / tone.startHz, progress);
        double v = 0.0;
        for (size_t k = 0; k < tone.harmonics.size(); ++k)
            v += tone.harmonics[k] * std::sin(phase * double(k + 1));
        out[i] = float(tone.amplitude * std::exp(-tone.decayPerSecond * t) * v / norm);
        phase += 2.0 * Pi * hz / SampleRate;
    }
    return out;
}

// Fixed-seed noise so that every build writes the same bytes.
class Noise
{
public:
    explicit Noise(uint32_t seed)
        : m_state(seed)
    {}
    float next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return float(m_state >> 8) / float(1u << 24) * 2.0f - 1.0f;
    }

private:
    uint32_t m_state;
};

// A high-passed noise burst: the "contact" at the start of a click.
Samples noiseBurst(double seconds, double decayPerSecond, double amplitude, uint32_t seed)
{
    Noise noise(seed);
    Samples out(size_t(framesFor(seconds)));
    float previousIn = 0.0f;
    float previousOut = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        const float in = noise.next();
        previousOut = 0.7f * (previousOut + in - previousIn);
        previousIn = in;
        const double t = double(i) / SampleRate;
        out[i] = float(amplitude * std::exp(-decayPerSecond * t)) * previousOut;
    }
    return out;
}

// A plucked string (Karplus-Strong): soft and round, unlike the electronic beeps.
Samples pluck(double hz, double seconds, double amplitude)
{
    Noise noise(7);
    std::vector<float> line(size_t(std::lround(SampleRate / hz)));
    for (float &v : line)
        v = noise.next();
    Samples out(size_t(framesFor(seconds)));
    size_t pos = 0;
    for (float &s : out) {
        const size_t next = (pos + 1) % line.size();
        const float v = line[pos];
        line[pos] = 0.996f * 0.5f * (line[pos] + line[next]);
        s = float(amplitude) * v;
        pos = next;
    }
    return out;
}

// Adds `part` into `into` starting at `atSeconds`, growing `into` as needed.
void mixIn(Samples &into, const Samples &part, double atSeconds = 0.0)
{
    const size_t offset = size_t(framesFor(atSeconds));
    if (into.size() < offset + part.size())
        into.resize(offset + part.size(), 0.0f);
    for (size_t i = 0; i < part.size(); ++i)
        into[offset + i] += part[i];
}

// Raised-cosine fades so the sound starts and ends at zero (no click at either end), and a
// guard against clipping where parts were mixed.
QByteArray finish(Samples samples, double fadeInMs, double fadeOutMs)
{
    const size_t in = std::min(samples.size(), size_t(framesFor(fadeInMs / 1000.0)));
    const size_t out = std::min(samples.size(), size_t(framesFor(fadeOutMs / 1000.0)));
    for (size_t i = 0; i < in; ++i)
        samples[i] *= float(0.5 - 0.5 * std::cos(Pi * double(i) / double(in)));
    for (size_t i = 0; i < out; ++i) {
        const size_t j = samples.size() - 1 - i;
        samples[j] *= float(0.5 - 0.5 * std::cos(Pi * double(i) / double(out)));
    }
    float peak = 0.0f;
    for (float s : samples)
        peak = std::max(peak, std::abs(s));
    if (peak > 0.95f) {
        for (float &s : samples)
            s *= 0.95f / peak;
    }
    return encodeWav(samples, SampleRate);
}

Samples clickSamples(uint32_t seed)
{
    Samples s = noiseBurst(0.03, 260.0, 0.45, seed);
    mixIn(s, render({0.03, 2100.0, 1800.0, 160.0, 0.35, {1.0, 0.3}}));
    return s;
}

QByteArray beep(double hz)
{
    return finish(render({0.12, hz, hz, 3.0, 0.4, {1.0, 0.12}}), 5.0, 20.0);
}

QByteArray scrollTick(double seconds, double amplitude, uint32_t seed)
{
    Samples s = render({seconds, 2500.0, 2250.0, 140.0, amplitude, {1.0, 0.25}});
    mixIn(s, noiseBurst(0.004, 800.0, amplitude * 0.5, seed));
    return finish(s, 0.7, seconds * 1000.0 * 0.4);
}

} // namespace

std::vector<GeneratedAsset> soundAssets()
{
    return {
        {"LMB-Press-Shorter.wav",
         [] {
             // A firm, falling "thock": the button going down.
             Samples s = render({0.07, 720.0, 420.0, 45.0, 0.6, {1.0, 0.35, 0.15}});
             mixIn(s, noiseBurst(0.006, 600.0, 0.25, 11));
             return finish(s, 1.0, 15.0);
         }},
        {"LMB-Release-Shorter.wav",
         [] {
             // Lighter and rising: the button coming back up.
             Samples s = render({0.055, 520.0, 900.0, 55.0, 0.45, {1.0, 0.25}});
             mixIn(s, noiseBurst(0.004, 900.0, 0.15, 12));
             return finish(s, 1.0, 12.0);
         }},
        {"Click-Shorter.wav", [] { return finish(clickSamples(21), 0.7, 10.0); }},
        {"DoubleClick-Shorter.wav",
         [] {
             Samples s = clickSamples(31);
             mixIn(s, clickSamples(32), 0.11);
             return finish(s, 0.7, 10.0);
         }},
        {"Pluck-Soft.wav", [] { return finish(pluck(392.0, 0.35, 0.35), 1.5, 60.0); }},
        {"Beep-Short.wav", [] { return beep(880.0); }},
        {"BeepHi-Short.wav", [] { return beep(1320.0); }},
        {"BeepLo-Short.wav", [] { return beep(587.0); }},
        {"Tick-Short.wav",
         [] {
             Samples s = render({0.025, 3200.0, 3000.0, 200.0, 0.45, {1.0, 0.3}});
             mixIn(s, noiseBurst(0.004, 900.0, 0.2, 41));
             return finish(s, 0.5, 8.0);
         }},
        {"Tock-Short.wav",
         [] {
             // Lower and woodier than the tick, so the pair reads as start/stop.
             return finish(render({0.045, 1100.0, 950.0, 110.0, 0.5, {1.0, 0.5, 0.2}}), 0.7, 12.0);
         }},
        {"ScrollTick.wav", [] { return scrollTick(0.04, 0.35, 51); }},
        {"RightDrag.wav",
         [] {
             // Two rising notes: the drag has been picked up.
             Samples s = render({0.09, 523.0, 523.0, 12.0, 0.4, {1.0, 0.2, 0.1}});
             mixIn(s, render({0.11, 784.0, 784.0, 12.0, 0.4, {1.0, 0.2, 0.1}}), 0.095);
             return finish(s, 3.0, 25.0);
         }},
        {"Zoom.wav",
         [] {
             return finish(render({0.3, 300.0, 1500.0, 2.0, 0.35, {1.0, 0.3, 0.1}}), 10.0, 60.0);
         }},
        {"LoudBlink.wav",
         [] {
             // A bright chime, deliberately the loudest: the pointer was recentred.
             Samples s = render({0.45, 1047.0, 1047.0, 7.0, 0.5, {1.0, 0.2}});
             mixIn(s, render({0.45, 1568.0, 1568.0, 8.0, 0.35, {1.0}}));
             mixIn(s, render({0.35, 2093.0, 2093.0, 10.0, 0.2, {1.0}}));
             return finish(s, 2.0, 80.0);
         }},
        {"ScrollTick-Short-25ms-Soft.wav", [] { return scrollTick(0.025, 0.15, 61); }},
        // Scrolling begins: the same tick, louder.
        {"ScrollTick-Short-25ms.wav", [] { return scrollTick(0.025, 0.35, 61); }},
    };
}
