#pragma once

#include <QElapsedTimer>
#include <QString>

#include <map>
#include <string>

class QThread;

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
//
// Every call into the audio system can block for as long as a sound server keeps silent, so
// all of them (finding an output, loading, playing, destroying) run on a thread of their own.
// The calling thread only reads the WAV headers and posts requests; it never waits for the
// audio thread, except for a short bounded wait in stop(). Not thread-safe itself: use one
// SoundPlayer from one thread.
class SoundPlayer {
public:
    // Requests posted but not yet taken up by the audio thread; more are dropped, so that a
    // stuck audio system cannot make them pile up.
    static constexpr int kMaxPending = 2;
    // How long stop() waits for the audio thread by default.
    static constexpr int kStopWaitMs = 30;

    // `prefix` is where the WAV files are, e.g. ":/sounds/". Reads their lengths; touches
    // no audio yet.
    explicit SoundPlayer(const QString& prefix = QStringLiteral(":/sounds/"));
    // Stops the audio thread as stop() does.
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts the audio thread, which looks for an output and loads the sounds. Returns at
    // once; later calls do nothing. Without any readable sound no thread is started.
    void start();
    bool started() const { return thread_ != nullptr; }

    // Posts a sound; true when it was posted. Before start(), for an unknown name, while
    // another sound plays, once the audio thread found no output, or while it has
    // kMaxPending requests still waiting, nothing is posted.
    bool play(const std::string& name);
    // The same, at `nowMs` milliseconds after this player was made.
    bool play(const std::string& name, qint64 nowMs);

    // True once the audio thread found an output and loaded the sounds.
    bool available() const;
    // True once the audio thread has finished looking for an output (found or not).
    bool loaded() const;
    // Requests posted and not yet taken up by the audio thread.
    int pending() const;

    // Ends the audio thread: its sounds are destroyed on it and it is joined, waiting at
    // most `waitMs`. If it does not end in time (a sound server that does not answer) it is
    // left running, never to be waited for again, and false is returned.
    bool stop(int waitMs = kStopWaitMs);

    // True when some player had to leave its audio thread running. Such a thread may be
    // inside the sound library, so the process should then end with std::_Exit rather than
    // run the libraries' exit handlers, which could wait for it.
    static bool leftRunning();

    // Length in milliseconds of a WAV file's samples, 0 if it is not a PCM WAV file.
    static qint64 wavDurationMs(const QString& path);

private:
    class Worker;

    QString prefix_;
    std::map<std::string, qint64> durations_;
    QElapsedTimer sinceStart_;
    SoundGate gate_;
    // Both live until the thread has ended; a thread left running keeps them for good.
    QThread* thread_ = nullptr;
    Worker* worker_ = nullptr;
};
