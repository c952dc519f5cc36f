// Feedback sounds: the program's own files load, damaged ones are refused.

#include "core/SoundWave.h"
#include "core/SoundId.h"
#include "platform/Platform.h"
#include "platform/recording/RecordingSoundPlayer.h"
#include "tests/support/TestHome.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class Sounds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::installRecording();
        player().reset();
    }
    static platform::RecordingSoundPlayer &player() { return platform::recordingSoundPlayer(); }
};

TEST_F(Sounds, EveryGeneratedSoundLoadsAndPlays)
{
    // The tests run in the program's folder, where the build put the sounds.
    for (int i = 0; i < int(SoundId::Count); ++i) {
        SoundWave sound;
        sound.load(soundFileName(SoundId(i)));
        EXPECT_TRUE(sound.isLoaded()) << soundFileName(SoundId(i));
        sound.play(true);
    }
    EXPECT_EQ(player().plays(), int(SoundId::Count));
    EXPECT_TRUE(QFile::exists("ScrollTick-Short-25ms-Soft.wav"));
}

TEST_F(Sounds, ASecondPlayCutsTheFirst)
{
    SoundWave click, beep;
    click.load(soundFileName(SoundId::Click));
    beep.load(soundFileName(SoundId::Beep));
    click.play(true);
    beep.play(true);
    EXPECT_FALSE(player().lastCut().isEmpty());
    EXPECT_EQ(player().lastDataSize(), QFile(soundFileName(SoundId::Beep)).size());
}

TEST_F(Sounds, MissingOrDamagedFilesStaySilent)
{
    TestHome home;
    const QByteArray good = TestHome::readFile(soundFileName(SoundId::Click));
    ASSERT_GT(good.size(), 44);
    const QString dir = home.path();
    TestHome::writeFile(dir + "/truncated.wav", good.left(good.size() / 3));
    TestHome::writeFile(dir + "/header-only.wav", good.left(20));
    TestHome::writeFile(dir + "/garbage.wav", QByteArray(4096, '\x5a'));
    TestHome::writeFile(dir + "/empty.wav", QByteArray());
    QByteArray lying = good;
    lying[40] = '\xff'; // a data chunk that claims far more than the file holds
    lying[41] = '\xff';
    lying[42] = '\xff';
    lying[43] = '\x7f';
    TestHome::writeFile(dir + "/lying.wav", lying);

    for (const char *name : {"truncated.wav", "header-only.wav", "garbage.wav", "empty.wav",
                             "missing.wav", "lying.wav"}) {
        SoundWave sound;
        sound.load(QFile::encodeName(dir + "/" + name).constData());
        sound.play(true);
        EXPECT_FALSE(sound.isLoaded()) << name;
    }
    EXPECT_EQ(player().plays(), 0);
}

TEST_F(Sounds, ALoadedSoundStopsPlayingBeforeItsDataGoes)
{
    {
        SoundWave sound;
        sound.load(soundFileName(SoundId::Tick));
        sound.play(true);
    }
    EXPECT_EQ(player().stops(), 1);
    EXPECT_TRUE(player().playing().isEmpty());
}

} // namespace
