#include "platform/sound.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QObject>
#include <QThread>
#include <QtEndian>

#include <atomic>
#include <cstdio>
#include <memory>

#include "platform/sound_output.h"

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

// The sound module: installed in its own folder relative to the program, or, in a build tree,
// beside it.
std::unique_ptr<SoundOutput> loadSoundOutput() {
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& folder :
         {QString::fromLatin1(KOVALT_SOUND_MODULE_DIR), QStringLiteral(".")}) {
        QLibrary module(here.filePath(folder + QStringLiteral("/kovalt_sound")));
        // Unloading the multimedia library before the process ends is not safe.
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (!module.load()) {
            continue;
        }
        if (auto make = reinterpret_cast<SoundOutputFactory>(module.resolve(kSoundOutputFactory))) {
            return std::unique_ptr<SoundOutput>(make());
        }
    }
    return nullptr;
}

} // namespace

// The audio thread's side. It is moved to that thread before it starts, so that everything
// it creates, the multimedia module's own objects included, lives there. The counters are
// shared with the posting thread.
class SoundPlayer::Worker : public QObject {
public:
    explicit Worker(std::map<std::string, QString> files) : files_(std::move(files)) {}

    // Loads the sound module, looks for an output and loads the sounds: the first call into
    // the multimedia library in this process, so that its engine and timers are made on this
    // thread. Without the module nothing plays, as without an output.
    void load() {
        output_ = loadSoundOutput();
        if (output_ && output_->open(files_)) {
            ready.store(true);
        } else if (output_ == nullptr) {
            std::fputs("kovalt: the sound module could not be loaded; no sound is played\n",
                       stderr);
        }
        loaded.store(true);
    }

    void play(const std::string& name) {
        pending.fetch_sub(1);
        if (ready.load()) {
            output_->play(name);
        }
    }

    // Destroys the output here, where it was made, and ends the thread.
    void finish() {
        ready.store(false);
        output_.reset();
        moveToThread(nullptr);
        QThread::currentThread()->quit();
    }

    std::atomic<bool> ready{false};
    std::atomic<bool> loaded{false};
    std::atomic<int> pending{0};

private:
    std::map<std::string, QString> files_;
    std::unique_ptr<SoundOutput> output_;
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
