#pragma once

#include <QString>

#include <map>
#include <string>

// The part of playing sounds that needs the multimedia library. It lives in a module of its
// own, loaded by the audio thread once the window is up, so that the program starts without
// that library and the twenty-odd libraries it brings along.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Looks for an output device and loads the named WAV files (resource paths or file
    // names); false when there is no output, and then nothing plays.
    virtual bool open(const std::map<std::string, QString>& files) = 0;
    // Starts a loaded sound; an unknown name plays nothing.
    virtual void play(const std::string& name) = 0;
};

// The module's one entry point, an extern "C" function looked up by this name.
inline constexpr char kSoundOutputFactory[] = "kovalt_make_sound_output";
using SoundOutputFactory = SoundOutput* (*)();
