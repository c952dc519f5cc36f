#include "platform/linux/WavDecoder.h"
#include "tests/platform/WavFixtures.h"

#include <gtest/gtest.h>
#include <random>

using platform::WavDecoder;

namespace {
const QByteArray good = wav::make(wav::constant(800, 1234));

QByteArray withListChunkBeforeData()
{
    // "fmt ", an odd-sized "LIST" chunk with its pad byte, then "data".
    QByteArray b = good.left(36);
    b.append("LIST");
    wav::put32(b, 3);
    b.append("abc").append('\0');
    b.append(good.mid(36));
    wav::set32(b, wav::RiffSize, quint32(b.size() - 8));
    return b;
}
} // namespace

TEST(WavDecoder, DecodesA16BitMonoImageSampleForSample)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 400; ++i)
        samples.push_back(std::int16_t(i * 80 - 16000));
    const auto pcm = WavDecoder::decode(wav::make(samples, 1, 22050));
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->channels, 1);
    EXPECT_EQ(pcm->sampleRate, 22050);
    EXPECT_EQ(pcm->samples, samples);
}

TEST(WavDecoder, DecodesStereoInterleaved)
{
    const std::vector<std::int16_t> samples{1, -1, 2, -2, 3, -3};
    const auto pcm = WavDecoder::decode(wav::make(samples, 2, 44100));
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->channels, 2);
    EXPECT_EQ(pcm->frames(), 3u);
    EXPECT_EQ(pcm->samples, samples);
}

TEST(WavDecoder, ConvertsEightBitSamplesTo16Bit)
{
    const auto pcm = WavDecoder::decode(wav::make8(QByteArray("\x80\xff\x00", 3)));
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->samples, (std::vector<std::int16_t>{0, 127 * 256, -128 * 256}));
}

TEST(WavDecoder, SkipsOtherChunksAndTheirPadByte)
{
    const auto pcm = WavDecoder::decode(withListChunkBeforeData());
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->samples, wav::constant(800, 1234));
}

TEST(WavDecoder, TheResultOwnsItsSamples)
{
    QByteArray image = good;
    const auto pcm = WavDecoder::decode(image);
    image.fill('\0');
    image.clear();
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->samples.front(), 1234);
}

TEST(WavDecoder, RefusesEveryTruncationOfAValidImage)
{
    for (int length = 0; length < good.size(); ++length) {
        // A detached copy: ASan sees a read past `length` bytes.
        const QByteArray cut(good.constData(), length);
        EXPECT_FALSE(WavDecoder::isPlayable(cut)) << "length " << length;
    }
    EXPECT_TRUE(WavDecoder::isPlayable(good));
}

TEST(WavDecoder, RefusesAnEmptyImage)
{
    EXPECT_FALSE(WavDecoder::isPlayable(QByteArray()));
    EXPECT_FALSE(WavDecoder::isPlayable(QByteArray("")));
}

TEST(WavDecoder, RefusesADataChunkLargerThanTheData)
{
    for (quint32 size : {1602u, 4096u, 0x7fffffffu, 0xfffffff0u, 0xffffffffu}) {
        QByteArray b = good;
        wav::set32(b, wav::DataSize, size);
        EXPECT_FALSE(WavDecoder::isPlayable(b)) << size;
        wav::set32(b, wav::RiffSize, 0xffffffffu);
        EXPECT_FALSE(WavDecoder::isPlayable(b)) << size;
    }
}

TEST(WavDecoder, RefusesARiffSizeLargerThanTheImage)
{
    for (quint32 size : {quint32(good.size() - 7), 0x10000u, 0xffffffffu}) {
        QByteArray b = good;
        wav::set32(b, wav::RiffSize, size);
        EXPECT_FALSE(WavDecoder::isPlayable(b)) << size;
    }
}

TEST(WavDecoder, RefusesABadRiffHeader)
{
    for (auto [at, text] : {std::pair{0, "RIFX"}, {0, "riff"}, {8, "WAVX"}, {8, "AVI "}}) {
        QByteArray b = good;
        b.replace(at, 4, text);
        EXPECT_FALSE(WavDecoder::isPlayable(b)) << text;
    }
}

TEST(WavDecoder, RefusesAnImageWithoutFormatOrData)
{
    QByteArray noFormat = good;
    noFormat.replace(12, 4, "junk");
    EXPECT_FALSE(WavDecoder::isPlayable(noFormat));

    QByteArray noData = good;
    noData.replace(36, 4, "junk");
    EXPECT_FALSE(WavDecoder::isPlayable(noData));
}

TEST(WavDecoder, RefusesZeroFrames)
{
    EXPECT_FALSE(WavDecoder::isPlayable(wav::make({})));
    QByteArray b = good;
    wav::set32(b, wav::DataSize, 0);
    EXPECT_FALSE(WavDecoder::isPlayable(b));
}

TEST(WavDecoder, RefusesAbsurdChannelCounts)
{
    for (quint16 channels : {0, 9, 300, 1024, 65535}) {
        QByteArray b = good;
        wav::set16(b, wav::Channels, channels);
        wav::set16(b, wav::BlockAlign, quint16(channels * 2));
        EXPECT_FALSE(WavDecoder::isPlayable(b)) << channels;
    }
}

TEST(WavDecoder, RefusesAbsurdSampleRates)
{
    for (quint32 rate : {0u, 1u, 100u, 1000000u, 0x7fffffffu, 0xffffffffu}) {
        QByteArray b = good;
        wav::set32(b, wav::SampleRate, rate);
        wav::set32(b, wav::ByteRate, rate * 2);
        EXPECT_FALSE(WavDecoder::isPlayable(b)) << rate;
    }
}

TEST(WavDecoder, RefusesGarbage)
{
    std::mt19937 random(7);
    for (int length : {1, 4, 11, 12, 43, 44, 45, 100, 4096}) {
        QByteArray noise(length, '\0');
        for (char &c : noise)
            c = char(random());
        EXPECT_FALSE(WavDecoder::isPlayable(noise)) << length;
        // The same noise behind a plausible RIFF header.
        QByteArray framed = good.left(12) + noise;
        wav::set32(framed, wav::RiffSize, quint32(framed.size() - 8));
        EXPECT_FALSE(WavDecoder::isPlayable(framed)) << length;
    }
}

TEST(WavDecoder, SurvivesEveryCorruptedHeaderByte)
{
    // Whatever a damaged header says, decoding reads only the image and either refuses it or
    // returns samples that fit the image.
    const QByteArray base = withListChunkBeforeData();
    for (int at = 0; at < wav::Header + 12; ++at) {
        for (unsigned char value : {0x00, 0x01, 0x7f, 0x80, 0xfe, 0xff}) {
            QByteArray b(base.constData(), base.size());
            b[at] = char(value);
            if (const auto pcm = WavDecoder::decode(b)) {
                EXPECT_GT(pcm->frames(), 0u);
                EXPECT_LE(pcm->channels, WavDecoder::maxChannels);
                EXPECT_LE(pcm->samples.size(), size_t(b.size()) * 8) << at << " " << int(value);
            }
        }
    }
}
