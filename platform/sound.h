#pragma once

#include <QElapsedTimer>
#include <QString>

#include <map>
#include <memory>
#include <string>

class QSoundEffect;

// One sound at a time: a sound asked for before the last one has ended is refused.
class SoundGate {
public:
    // `now` and `durationMs` in milliseconds; true when a sound of that length may start.
    bool admit(qint64 now, qint64 durationMs) {
        if (now < busyUntilMs_) {
            return false;
        }
        busyUntilMs_ = now + durationMs;
        return true;
    }

private:
    qint64 busyUntilMs_ = 0;
};

// The game's four named sounds, played in the background one at a time: a sound asked for
// while another still plays is skipped, as is an unknown name. On a machine without any
// audio output nothing is created and nothing plays.
class SoundPlayer {
public:
    // `prefix` is where the WAV files are, e.g. ":/sounds/". Nothing is loaded yet.
    explicit SoundPlayer(const QString& prefix = QStringLiteral(":/sounds/"));
    ~SoundPlayer();

    // Looks for an audio output and loads the sounds; the first call does the work. It is
    // kept out of start-up because the audio back end takes longer to load than the window.
    void load();
    // Returns true when the sound was started.
    bool play(const std::string& name);
    bool available() const { return !effects_.empty(); }

    // Length in milliseconds of a WAV file's samples, 0 if it is not a PCM WAV file.
    static qint64 wavDurationMs(const QString& path);

private:
    struct Effect {
        std::unique_ptr<QSoundEffect> effect;
        qint64 durationMs = 0;
    };
    QString prefix_;
    bool loaded_ = false;
    std::map<std::string, Effect> effects_;
    QElapsedTimer sinceStart_;
    SoundGate gate_;
};
