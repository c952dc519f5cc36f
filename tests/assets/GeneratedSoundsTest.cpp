#include "tests/assets/BinDir.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const QStringList SoundFiles = {"LMB-Press-Shorter.wav",
                                "LMB-Release-Shorter.wav",
                                "Click-Shorter.wav",
                                "DoubleClick-Shorter.wav",
                                "Pluck-Soft.wav",
                                "Beep-Short.wav",
                                "BeepHi-Short.wav",
                                "BeepLo-Short.wav",
                                "Tick-Short.wav",
                                "Tock-Short.wav",
                                "ScrollTick.wav",
                                "RightDrag.wav",
                                "Zoom.wav",
                                "LoudBlink.wav",
                                "ScrollTick-Short-25ms-Soft.wav",
                                "ScrollTick-Short-25ms.wav"};

struct Wav
{
    QString error; // empty when the file parsed
    quint16 format = 0, channels = 0, bitsPerSample = 0, blockAlign = 0;
    quint32 sampleRate = 0, byteRate = 0;
    std::vector<qint16> samples;

    double seconds() const { return double(samples.size()) / sampleRate; }
    int peak() const
    {
        int p = 0;
        for (qint16 s : samples)
            p = std::max(p, std::abs(int(s)));
        return p;
    }
};

// Walks the RIFF chunks the way a strict reader would, trusting no size it has not checked.
Wav readWav(const QString &fileName)
{
    Wav wav;
    QFile file(binPath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        wav.error = "cannot open";
        return wav;
    }
    const QByteArray bytes = file.readAll();
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };

    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        wav.error = "not RIFF/WAVE";
        return wav;
    }
    if (u32(4) != quint32(bytes.size() - 8)) {
        wav.error = "RIFF size does not match the file";
        return wav;
    }
    bool haveFormat = false;
    bool haveData = false;
    int at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = u32(at + 4);
        const int body = at + 8;
        if (size > quint32(bytes.size() - body)) {
            wav.error = "chunk " + QString(id) + " runs past the end of the file";
            return wav;
        }
        if (id == "fmt " && size >= 16) {
            wav.format = u16(body);
            wav.channels = u16(body + 2);
            wav.sampleRate = u32(body + 4);
            wav.byteRate = u32(body + 8);
            wav.blockAlign = u16(body + 12);
            wav.bitsPerSample = u16(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (size % 2 != 0) {
                wav.error = "odd data size";
                return wav;
            }
            for (quint32 i = 0; i < size; i += 2)
                wav.samples.push_back(qint16(u16(body + int(i))));
            haveData = true;
        }
        at = body + int(size) + int(size % 2);
    }
    if (at != bytes.size())
        wav.error = "trailing bytes after the last chunk";
    else if (!haveFormat || !haveData)
        wav.error = "missing fmt or data chunk";
    return wav;
}

// Zero crossings per second: a rough pitch, enough to order beeps.
double crossingRate(const Wav &wav)
{
    int crossings = 0;
    for (size_t i = 1; i < wav.samples.size(); ++i)
        crossings += (wav.samples[i - 1] < 0) != (wav.samples[i] < 0);
    return crossings / wav.seconds();
}

// Number of separate bursts: 5 ms windows rising above half the loudest after having
// fallen below a tenth of it.
int burstCount(const Wav &wav)
{
    const size_t window = wav.sampleRate / 200;
    std::vector<double> level;
    for (size_t start = 0; start + window <= wav.samples.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i)
            sum += double(wav.samples[i]) * wav.samples[i];
        level.push_back(std::sqrt(sum / window));
    }
    if (level.empty())
        return 0;
    const double loudest = *std::max_element(level.begin(), level.end());
    int bursts = 0;
    bool quiet = true;
    for (double l : level) {
        if (quiet && l > loudest * 0.5) {
            ++bursts;
            quiet = false;
        } else if (l < loudest * 0.1) {
            quiet = true;
        }
    }
    return bursts;
}

} // namespace

TEST(GeneratedSounds, EveryFileIsMono16BitPcmAt44100WithAConsistentHeader)
{
    for (const QString &name : SoundFiles) {
        SCOPED_TRACE(name.toStdString());
        const Wav wav = readWav(name);
        ASSERT_TRUE(wav.error.isEmpty()) << wav.error.toStdString();
        EXPECT_EQ(wav.format, 1);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.bitsPerSample, 16);
        EXPECT_EQ(wav.sampleRate, 44100u);
        EXPECT_EQ(wav.blockAlign, 2);
        EXPECT_EQ(wav.byteRate, 88200u);
    }
}

TEST(GeneratedSounds, EveryFileIsShortAudibleAndStartsAndEndsQuietly)
{
    for (const QString &name : SoundFiles) {
        SCOPED_TRACE(name.toStdString());
        const Wav wav = readWav(name);
        ASSERT_TRUE(wav.error.isEmpty()) << wav.error.toStdString();
        ASSERT_GT(wav.samples.size(), 100u);
        EXPECT_LT(wav.seconds(), 1.0);
        EXPECT_GT(wav.peak(), 2000) << "too quiet to hear";
        // A sound that starts or stops mid-wave clicks in the speaker.
        EXPECT_LT(std::abs(wav.samples.front()), 100);
        EXPECT_LT(std::abs(wav.samples.back()), 100);
    }
}

TEST(GeneratedSounds, AllFifteenDifferFromEachOther)
{
    std::vector<QByteArray> contents;
    for (const QString &name : SoundFiles) {
        QFile file(binPath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        contents.push_back(file.readAll());
    }
    for (size_t i = 0; i < contents.size(); ++i) {
        for (size_t j = i + 1; j < contents.size(); ++j)
            EXPECT_NE(contents[i], contents[j])
                << SoundFiles[int(i)].toStdString() << " and " << SoundFiles[int(j)].toStdString();
    }
}

TEST(GeneratedSounds, SoftScrollTickLastsAbout25msAndIsQuieterThanTheScrollTick)
{
    const Wav soft = readWav("ScrollTick-Short-25ms-Soft.wav");
    const Wav tick = readWav("ScrollTick.wav");
    ASSERT_TRUE(soft.error.isEmpty() && tick.error.isEmpty());
    EXPECT_NEAR(soft.seconds(), 0.025, 0.002);
    EXPECT_LT(soft.peak(), tick.peak() * 0.7);
}

TEST(GeneratedSounds, BeepPitchesAreOrderedLowBeepHigh)
{
    const double low = crossingRate(readWav("BeepLo-Short.wav"));
    const double mid = crossingRate(readWav("Beep-Short.wav"));
    const double high = crossingRate(readWav("BeepHi-Short.wav"));
    EXPECT_LT(low * 1.2, mid);
    EXPECT_LT(mid * 1.2, high);
}

TEST(GeneratedSounds, DoubleClickHoldsTwoClicksAndClickOne)
{
    EXPECT_EQ(burstCount(readWav("DoubleClick-Shorter.wav")), 2);
    EXPECT_EQ(burstCount(readWav("Click-Shorter.wav")), 1);
}

// The program's player parses sounds with libsndfile from memory; it must accept ours.
TEST(GeneratedSounds, EveryFileOpensWithLibsndfile)
{
    for (const QString &name : SoundFiles) {
        SCOPED_TRACE(name.toStdString());
        SF_INFO info{};
        SNDFILE *file = sf_open(QFile::encodeName(binPath(name)).constData(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        EXPECT_EQ(info.channels, 1);
        EXPECT_EQ(info.samplerate, 44100);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        EXPECT_EQ(size_t(info.frames), readWav(name).samples.size());
        sf_close(file);
    }
}
