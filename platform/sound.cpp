#include "platform/sound.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

namespace {

struct NamedFile {
    const char* name;
    const char* file;
};

constexpr NamedFile kSounds[] = {
    {"駒打音", "koma.wav"},
    {"禁止", "kinshi.wav"},
    {"終局", "shuukyoku.wav"},
    {"その他", "sonota.wav"},
};

} // namespace

SoundPlayer::SoundPlayer(const QString& prefix) : prefix_(prefix) {
    sinceStart_.start();
}

void SoundPlayer::load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    // Without an output device QSoundEffect reports itself as playing for ever; play
    // nothing at all instead.
    if (QMediaDevices::audioOutputs().isEmpty()) {
        return;
    }
    for (const NamedFile& sound : kSounds) {
        const QString path = prefix_ + QString::fromLatin1(sound.file);
        const qint64 duration = wavDurationMs(path);
        if (duration <= 0) {
            continue;
        }
        Effect effect;
        effect.effect = std::make_unique<QSoundEffect>();
        effect.effect->setSource(path.startsWith(':') ? QUrl(QStringLiteral("qrc") + path)
                                                      : QUrl::fromLocalFile(path));
        effect.durationMs = duration;
        effects_.emplace(sound.name, std::move(effect));
    }
}

SoundPlayer::~SoundPlayer() = default;

bool SoundPlayer::play(const std::string& name) {
    load();
    const auto it = effects_.find(name);
    if (it == effects_.end()) {
        return false;
    }
    // QSoundEffect's own playing flag is unreliable; the length of the sound decides.
    if (!gate_.admit(sinceStart_.elapsed(), it->second.durationMs)) {
        return false;
    }
    it->second.effect->play();
    return true;
}

qint64 SoundPlayer::wavDurationMs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray data = file.readAll();
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE") {
        return 0;
    }
    quint32 byteRate = 0;
    quint32 dataSize = 0;
    qsizetype pos = 12;
    while (pos + 8 <= data.size()) {
        const QByteArray id = data.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + pos + 4);
        const qsizetype body = pos + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= data.size()) {
            byteRate = qFromLittleEndian<quint32>(data.constData() + body + 8);
        } else if (id == "data") {
            dataSize = size;
            break;
        }
        pos = body + size + (size & 1);
    }
    if (byteRate == 0 || dataSize == 0) {
        return 0;
    }
    return static_cast<qint64>(dataSize) * 1000 / byteRate;
}
