#include "platform/sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMediaDevices>
#include <QObject>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <QtEndian>

#include <atomic>
#include <memory>

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

std::atomic<bool> threadLeftRunning{false};

QUrl soundUrl(const QString& path) {
    return path.startsWith(':') ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
}

} // namespace

// The audio thread's side. It is moved to that thread before it starts, so that everything
// it creates, the multimedia module's own objects included, lives there. The counters are
// shared with the posting thread.
class SoundPlayer::Worker : public QObject {
public:
    explicit Worker(std::map<std::string, QString> files) : files_(std::move(files)) {}

    // Looks for an output and creates the effects. The first call into the multimedia module
    // in this process, so that its engine and timers are made on this thread.
    void load() {
        // Without an output device QSoundEffect reports itself as playing for ever; play
        // nothing at all instead.
        if (!QMediaDevices::audioOutputs().isEmpty()) {
            for (const auto& [name, path] : files_) {
                auto effect = std::make_unique<QSoundEffect>();
                effect->setSource(soundUrl(path));
                effects_.emplace(name, std::move(effect));
            }
            ready.store(true);
        }
        loaded.store(true);
    }

    void play(const std::string& name) {
        pending.fetch_sub(1);
        const auto it = effects_.find(name);
        if (it != effects_.end()) {
            it->second->play();
        }
    }

    // Destroys the effects here, where they were made, and ends the thread.
    void finish() {
        effects_.clear();
        ready.store(false);
        moveToThread(nullptr);
        QThread::currentThread()->quit();
    }

    std::atomic<bool> ready{false};
    std::atomic<bool> loaded{false};
    std::atomic<int> pending{0};

private:
    std::map<std::string, QString> files_;
    std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
};

SoundPlayer::SoundPlayer(const QString& prefix) : prefix_(prefix) {
    for (const NamedFile& sound : kSounds) {
        const qint64 duration = wavDurationMs(prefix_ + QString::fromLatin1(sound.file));
        if (duration > 0) {
            durations_.emplace(sound.name, duration);
        }
    }
    sinceStart_.start();
}

SoundPlayer::~SoundPlayer() {
    stop();
}

void SoundPlayer::start() {
    if (thread_ || durations_.empty()) {
        return;
    }
    std::map<std::string, QString> files;
    for (const NamedFile& sound : kSounds) {
        if (durations_.count(sound.name)) {
            files.emplace(sound.name, prefix_ + QString::fromLatin1(sound.file));
        }
    }
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("kovalt-audio"));
    worker_ = new Worker(std::move(files));
    worker_->moveToThread(thread_);
    Worker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker] { worker->load(); }, Qt::QueuedConnection);
    thread_->start();
}

bool SoundPlayer::play(const std::string& name) {
    return play(name, sinceStart_.elapsed());
}

bool SoundPlayer::play(const std::string& name, qint64 nowMs) {
    const auto it = durations_.find(name);
    if (it == durations_.end() || !worker_) {
        return false;
    }
    if (worker_->loaded.load() && !worker_->ready.load()) {
        return false;
    }
    if (worker_->pending.load() >= kMaxPending) {
        return false;
    }
    // QSoundEffect's own playing flag is unreliable; the length of the sound decides.
    if (!gate_.admit(nowMs, it->second)) {
        return false;
    }
    worker_->pending.fetch_add(1);
    Worker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker, name] { worker->play(name); }, Qt::QueuedConnection);
    return true;
}

bool SoundPlayer::available() const {
    return worker_ && worker_->ready.load();
}

bool SoundPlayer::loaded() const {
    return worker_ && worker_->loaded.load();
}

int SoundPlayer::pending() const {
    return worker_ ? worker_->pending.load() : 0;
}

bool SoundPlayer::stop(int waitMs) {
    if (!thread_) {
        return true;
    }
    Worker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker] { worker->finish(); }, Qt::QueuedConnection);
    const bool ended = thread_->wait(QDeadlineTimer(waitMs));
    if (ended) {
        delete worker_;
        delete thread_;
    } else {
        // Deleting a running QThread aborts the process, and the worker may still be in use
        // on it: both are given up on.
        threadLeftRunning.store(true);
    }
    worker_ = nullptr;
    thread_ = nullptr;
    return ended;
}

bool SoundPlayer::leftRunning() {
    return threadLeftRunning.load();
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
