// The multimedia side of the sounds, built as a module that the audio thread loads.
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <atomic>
#include <cstdio>
#include <memory>

#include "platform/sound_output.h"

namespace {

std::atomic<QtMessageHandler> passOn{nullptr};
std::atomic<bool> faultTold{false};

// The sound library writes its own lines on the terminal (without a category of its own).
// No sound server at all is a normal case for this game and goes unsaid; any other fault of
// the sound system is told once.
void soundLibraryMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("PulseAudioService: "))) {
        if (text.contains(QLatin1String("pa_context_connect() failed")) ||
            faultTold.exchange(true)) {
            return;
        }
    }
    if (const QtMessageHandler handler = passOn.load()) {
        handler(type, context, text);
    } else { // another thread's line, in the instant between installing and storing
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

void quietenSoundLibrary() {
    if (!passOn.load()) {
        passOn.store(qInstallMessageHandler(soundLibraryMessage));
    }
}

QUrl soundUrl(const QString& path) {
    return path.startsWith(':') ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
}

class EffectOutput : public SoundOutput {
public:
    bool open(const std::map<std::string, QString>& files) override {
        quietenSoundLibrary();
        // Without an output device QSoundEffect reports itself as playing for ever; play
        // nothing at all instead.
        if (QMediaDevices::audioOutputs().isEmpty()) {
            return false;
        }
        for (const auto& [name, path] : files) {
            auto effect = std::make_unique<QSoundEffect>();
            effect->setSource(soundUrl(path));
            effects_.emplace(name, std::move(effect));
        }
        return true;
    }

    void play(const std::string& name) override {
        const auto it = effects_.find(name);
        if (it != effects_.end()) {
            it->second->play();
        }
    }

private:
    std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundOutput* kovalt_make_sound_output() {
    return new EffectOutput;
}
