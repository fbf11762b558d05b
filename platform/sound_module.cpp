// The multimedia side of the sounds, built as a module that the audio thread loads.
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

#include "platform/sound_output.h"

namespace {

QUrl soundUrl(const QString& path) {
    return path.startsWith(':') ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
}

class EffectOutput : public SoundOutput {
public:
    bool open(const std::map<std::string, QString>& files) override {
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
