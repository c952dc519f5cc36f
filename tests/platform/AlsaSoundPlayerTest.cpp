#include "platform/linux/AlsaSoundPlayer.h"
#include "platform/linux/AlsaPcmSink.h"
#include "tests/platform/WarningCounter.h"
#include "tests/platform/WavFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <thread>

using platform::AlsaSoundPlayer;

namespace {

// What the fake device saw, shared with the test. With `gated`, each write waits for one
// permit, like a device that takes a slice only when the test lets it "play".
struct Journal
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> events;
    std::set<std::thread::id> threads;
    bool available = true;
    bool gated = false;
    int permits = 0;
    bool blocked = false;

    void record(std::string event)
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(std::move(event));
        threads.insert(std::this_thread::get_id());
        changed.notify_all();
    }
    template<class Predicate> bool waitUntil(Predicate done)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), [&] { return done(); });
    }
    bool saw(const std::string &event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    bool closed() const { return !events.empty() && events.back() == "close"; }
    std::vector<std::string> snapshot()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    // Lets the waiting write return; waits until the next write waits or the device closes.
    bool step()
    {
        std::unique_lock<std::mutex> lock(mutex);
        ++permits;
        changed.notify_all();
        return changed.wait_for(lock, std::chrono::seconds(20),
                                [&] { return permits == 0 && (blocked || closed()); });
    }
    // Ends the gating: the waiting write returns, the following ones do not wait.
    void openGate()
    {
        std::lock_guard<std::mutex> lock(mutex);
        gated = false;
        ++permits;
        changed.notify_all();
    }
    // Writes are counted in frames; a write is logged with its frames and first sample.
    int framesWritten(int firstSample)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return frames(firstSample);
    }
    int frames(int firstSample) const // mutex held
    {
        int total = 0;
        for (const std::string &e : events) {
            int frames = 0, first = 0;
            if (std::sscanf(e.c_str(), "write %d first %d", &frames, &first) == 2 &&
                first == firstSample)
                total += frames;
        }
        return total;
    }
};

class FakeSink : public platform::PcmSink
{
public:
    explicit FakeSink(std::shared_ptr<Journal> journal)
        : j(std::move(journal))
    {}
    bool available() override { return j->available; }
    bool open(int channels, int rate) override
    {
        j->record("open " + std::to_string(channels) + " " + std::to_string(rate));
        return true;
    }
    bool write(const std::int16_t *samples, std::size_t frames) override
    {
        j->record("write " + std::to_string(frames) + " first " + std::to_string(samples[0]));
        std::unique_lock<std::mutex> lock(j->mutex);
        if (j->gated) {
            j->blocked = true;
            j->changed.notify_all();
            j->changed.wait(lock, [&] { return j->permits > 0; });
            --j->permits;
            j->blocked = false;
            j->changed.notify_all();
        }
        return true;
    }
    void drain() override { j->record("drain"); }
    void drop() override { j->record("drop"); }
    void close() override { j->record("close"); }

private:
    std::shared_ptr<Journal> j;
};

struct Fixture : ::testing::Test
{
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    std::unique_ptr<AlsaSoundPlayer> player =
        std::make_unique<AlsaSoundPlayer>(std::make_unique<FakeSink>(journal));

    // 100 ms at 8000 Hz (ten slices of 80 frames), and a 60 s sound at 11025 Hz.
    const QByteArray shortA = wav::make(wav::constant(800, 1000), 1, 8000);
    const QByteArray longB = wav::make(wav::constant(11025 * 60, -2000), 1, 11025);

    // Plays the gated device until the player has closed it.
    void playDeviceUntilClosed()
    {
        while (journal->snapshot().back() != "close")
            ASSERT_TRUE(journal->step());
    }
};

using SoundPlayer = Fixture;

} // namespace

TEST_F(SoundPlayer, PlaysASoundWholeOnItsOwnThreadAndDrainsIt)
{
    ASSERT_TRUE(player->playWav(shortA));
    ASSERT_TRUE(journal->waitUntil([&] { return journal->closed(); }));
    const auto events = journal->snapshot();
    EXPECT_EQ(events.front(), "open 1 8000");
    EXPECT_EQ(journal->framesWritten(1000), 800);
    EXPECT_EQ(events[events.size() - 2], "drain");
    EXPECT_FALSE(journal->saw("drop"));
    EXPECT_EQ(journal->threads.size(), 1u);
    EXPECT_EQ(journal->threads.count(std::this_thread::get_id()), 0u);
}

TEST_F(SoundPlayer, ASecondPlayCutsTheFirst)
{
    journal->gated = true;
    ASSERT_TRUE(player->playWav(longB));
    ASSERT_TRUE(journal->waitUntil([&] { return journal->blocked; }));
    ASSERT_TRUE(player->playWav(shortA)); // while the first slice of B is with the device
    journal->openGate();
    ASSERT_TRUE(
        journal->waitUntil([&] { return journal->saw("open 1 8000") && journal->closed(); }));

    const std::vector<std::string> expected{"open 1 11025", "write 110 first -2000", "drop",
                                            "close", "open 1 8000"};
    const auto events = journal->snapshot();
    ASSERT_GE(events.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 5), expected);
    EXPECT_EQ(journal->framesWritten(1000), 800);
    EXPECT_EQ(events[events.size() - 2], "drain");
    EXPECT_EQ(journal->threads.size(), 1u);
}

TEST_F(SoundPlayer, OnlyTheLastOfSeveralWaitingSoundsPlays)
{
    journal->gated = true;
    ASSERT_TRUE(player->playWav(longB));
    ASSERT_TRUE(journal->waitUntil([&] { return journal->blocked; }));
    for (std::int16_t value : {1, 2, 3})
        ASSERT_TRUE(player->playWav(wav::make(wav::constant(80, value))));
    journal->openGate();
    ASSERT_TRUE(journal->waitUntil([&] { return journal->frames(3) == 80 && journal->closed(); }));
    EXPECT_EQ(journal->framesWritten(1), 0);
    EXPECT_EQ(journal->framesWritten(2), 0);
}

TEST_F(SoundPlayer, StopReturnsOnlyOnceTheDeviceIsClosed)
{
    journal->gated = true;
    ASSERT_TRUE(player->playWav(longB));
    ASSERT_TRUE(journal->waitUntil([&] { return journal->blocked; }));
    std::vector<std::string> atReturn;
    std::thread stopper([&] {
        player->stop();
        atReturn = journal->snapshot();
    });
    playDeviceUntilClosed();
    stopper.join();
    ASSERT_FALSE(atReturn.empty());
    EXPECT_EQ(atReturn.back(), "close");
    EXPECT_TRUE(journal->saw("drop"));
    EXPECT_FALSE(journal->saw("drain"));
    EXPECT_LT(journal->framesWritten(-2000), 11025 * 60);
}

TEST_F(SoundPlayer, StopWithNothingPlayingReturnsAtOnce)
{
    player->stop();
    EXPECT_TRUE(journal->snapshot().empty());
}

TEST_F(SoundPlayer, DestroyingThePlayerCutsTheSoundAndJoinsItsThread)
{
    journal->gated = true;
    ASSERT_TRUE(player->playWav(longB));
    ASSERT_TRUE(journal->waitUntil([&] { return journal->blocked; }));
    std::thread destroyer([&] { player.reset(); });
    playDeviceUntilClosed();
    destroyer.join(); // returns only after the player thread has been joined
    EXPECT_TRUE(journal->saw("drop"));
    EXPECT_EQ(journal->snapshot().back(), "close");
}

TEST_F(SoundPlayer, PlaysAFileTheSameWay)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Beep Ä.wav");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(shortA);
    file.close();

    ASSERT_TRUE(player->playFile(path));
    ASSERT_TRUE(journal->waitUntil([&] { return journal->closed(); }));
    EXPECT_EQ(journal->framesWritten(1000), 800);
    EXPECT_FALSE(player->playFile(dir.filePath("missing.wav")));
}

TEST_F(SoundPlayer, MalformedDataPlaysNothing)
{
    EXPECT_FALSE(player->isPlayableWav(shortA.left(60)));
    EXPECT_FALSE(player->playWav(shortA.left(60)));
    EXPECT_FALSE(player->playWav(QByteArray("RIFF")));
    player->stop();
    EXPECT_TRUE(journal->snapshot().empty());
}

TEST_F(SoundPlayer, WithoutADeviceNothingPlaysAndItSaysSoOnce)
{
    journal->available = false;
    WarningCounter warnings("no sound device");
    EXPECT_TRUE(player->isPlayableWav(shortA));
    EXPECT_FALSE(player->playWav(shortA));
    EXPECT_FALSE(player->playWav(longB));
    player->stop();
    EXPECT_EQ(warnings.count(), 1);
    EXPECT_TRUE(journal->snapshot().empty());
}

TEST(AlsaSoundPlayer, WithoutASoundCardPlayReturnsFalseAndSaysSoOnce)
{
    if (platform::AlsaPcmSink().available())
        GTEST_SKIP() << "this machine has a sound device; the test would make a noise";
    WarningCounter warnings("no sound device");
    AlsaSoundPlayer player;
    const QByteArray beep = wav::make(wav::constant(800, 1000));
    EXPECT_TRUE(player.isPlayableWav(beep));
    EXPECT_FALSE(player.playWav(beep));
    EXPECT_FALSE(player.playWav(beep));
    player.stop();
    EXPECT_EQ(warnings.count(), 1);
}
