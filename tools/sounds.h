#pragma once

#include <QString>

#include <vector>

// The four sound effects as samples in [-1, 1] at 44.1 kHz, peaking at -6 dBFS.
std::vector<double> komaSound();      // a piece put down
std::vector<double> kinshiSound();    // a refused move
std::vector<double> shuukyokuSound(); // the end of a match
std::vector<double> sonotaSound();    // anything else worth a notice

// Writes samples as a 16-bit mono PCM WAV file; false (and a message) when it cannot.
bool writeWav(const QString& path, const std::vector<double>& s);
