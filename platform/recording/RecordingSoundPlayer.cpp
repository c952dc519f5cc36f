#include "platform/recording/RecordingSoundPlayer.h"

#include "platform/linux/WavDecoder.h"
#include "platform/recording/CallLog.h"

#include <QFile>

namespace platform {

namespace {
void logCall(const char *call, const QString &args = QString())
{
    recordingLog().add(QStringLiteral("sound"), QString::fromLatin1(call), args);
}
} // namespace

bool RecordingSoundPlayer::isPlayableWav(const QByteArray &data)
{
    logCall("isPlayableWav", QStringLiteral("%1 bytes").arg(data.size()));
    return WavDecoder::isPlayable(data);
}

bool RecordingSoundPlayer::playWav(const QByteArray &data)
{
    logCall("playWav", QStringLiteral("%1 bytes").arg(data.size()));
    return start(data, QStringLiteral("memory:%1").arg(data.size()));
}

bool RecordingSoundPlayer::playFile(const QString &path)
{
    logCall("playFile", path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return start(file.readAll(), path);
}

bool RecordingSoundPlayer::start(const QByteArray &data, const QString &name)
{
    if (!WavDecoder::isPlayable(data))
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    if (!device)
        return false;
    ++playCount;
    lastSize = data.size();
    cut = now;
    now = name;
    return true;
}

void RecordingSoundPlayer::stop()
{
    logCall("stop");
    std::lock_guard<std::mutex> lock(mutex);
    ++stopCount;
    stopped = now;
    now.clear();
}

int RecordingSoundPlayer::plays() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return playCount;
}

qsizetype RecordingSoundPlayer::lastDataSize() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return lastSize;
}

QString RecordingSoundPlayer::playing() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return now;
}

QString RecordingSoundPlayer::lastCut() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return cut;
}

int RecordingSoundPlayer::stops() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return stopCount;
}

QString RecordingSoundPlayer::lastStopped() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return stopped;
}

void RecordingSoundPlayer::setDeviceAvailable(bool available)
{
    std::lock_guard<std::mutex> lock(mutex);
    device = available;
}

void RecordingSoundPlayer::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    playCount = 0;
    lastSize = 0;
    now.clear();
    cut.clear();
    stopped.clear();
    stopCount = 0;
    device = true;
}

} // namespace platform
