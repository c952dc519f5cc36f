#include "core/SoundWave.h"

#include "platform/Platform.h"
#include "platform/SoundPlayer.h"

#include <QFile>

#include <cstdio>

SoundWave::~SoundWave()
{
    if (loaded)
        platform::soundPlayer().stop();
}

void SoundWave::load(const char *fileName)
{
    QFile file(QString::fromLocal8Bit(fileName));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (bytes.isEmpty() || !platform::soundPlayer().isPlayableWav(bytes)) {
        std::printf("Sound Wave:: File open error: %s\n", fileName);
        std::fflush(stdout);
        return;
    }
    data = bytes;
    loaded = true;
}

void SoundWave::play(bool async)
{
    // Every caller plays in the background; the player has no blocking mode of its own.
    Q_UNUSED(async)
    if (loaded)
        platform::soundPlayer().playWav(data);
}
