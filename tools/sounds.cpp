#include "tools/sounds.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "tools/drawing.h"

namespace {

constexpr int kRate = 44100;

// Fixed-seed generator for the noise in the click, so the file is the same on every run.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    double next() { // uniform in [-1, 1)
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t state_;
};

// Two-pole resonant band-pass (RBJ cookbook, constant 0 dB peak gain).
class BandPass {
public:
    BandPass(double freq, double q) {
        const double w = 2.0 * kPi * freq / kRate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2.0 * std::cos(w) / a0;
        a2_ = (1.0 - alpha) / a0;
    }
    double operator()(double x) {
        const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

std::vector<double> samples(double seconds) {
    return std::vector<double>(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0);
}

double timeOf(std::size_t i) {
    return static_cast<double>(i) / kRate;
}

// Raised-cosine fades so the sound starts and stops without a click, then scale to -6 dBFS.
void finish(std::vector<double>& s, double fadeIn, double fadeOut) {
    const auto n = s.size();
    const auto in = static_cast<std::size_t>(fadeIn * kRate);
    const auto out = static_cast<std::size_t>(fadeOut * kRate);
    for (std::size_t i = 0; i < in && i < n; ++i)
        s[i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(in));
    for (std::size_t i = 0; i < out && i < n; ++i)
        s[n - 1 - i] *=
            0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(out));
    double peak = 0.0;
    for (double v : s)
        peak = std::max(peak, std::abs(v));
    if (peak > 0.0) {
        const double gain = std::pow(10.0, -6.0 / 20.0) / peak;
        for (double& v : s)
            v *= gain;
    }
}

} // namespace

bool writeWav(const QString& path, const std::vector<double>& s) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    QByteArray data;
    auto put16 = [&data](std::uint16_t v) {
        data.append(static_cast<char>(v & 0xff));
        data.append(static_cast<char>(v >> 8));
    };
    auto put32 = [&data](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.append(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    const auto bytes = static_cast<std::uint32_t>(s.size() * 2);
    data.append("RIFF");
    put32(36 + bytes);
    data.append("WAVEfmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    data.append("data");
    put32(bytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(q)));
    }
    if (file.write(data) != data.size()) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%.3f s)\n", qPrintable(path), static_cast<double>(s.size()) / kRate);
    return true;
}

// A piece put down: a short knock of filtered noise and the ring of the wood itself.
std::vector<double> komaSound() {
    auto s = samples(0.10);
    Lcg noise(0x4b6f6d61u);
    BandPass knock(2600.0, 1.2);
    BandPass body(1150.0, 6.0);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        const double burst = noise.next() * std::exp(-t / 0.004);
        const double n = knock(burst);
        const double ring = body(burst) * 3.0;
        const double tone = 0.55 * std::sin(2.0 * kPi * 1180.0 * t) * std::exp(-t / 0.016) +
                            0.30 * std::sin(2.0 * kPi * 760.0 * t) * std::exp(-t / 0.024) +
                            0.12 * std::sin(2.0 * kPi * 2950.0 * t) * std::exp(-t / 0.007);
        s[i] = 0.9 * n + 0.6 * ring + tone;
    }
    finish(s, 0.0008, 0.02);
    return s;
}

// A refused move: a low, soft-edged buzz.
std::vector<double> kinshiSound() {
    auto s = samples(0.22);
    const double f = 130.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        // tanh of a sine: square-ish but without the harsh upper harmonics of a true square.
        const double ph = 2.0 * kPi * f * t;
        const double v =
            std::tanh(2.0 * std::sin(ph)) + 0.25 * std::tanh(2.0 * std::sin(2.0 * ph + 0.3));
        s[i] = v * (1.0 - 0.4 * t / 0.22);
    }
    finish(s, 0.008, 0.05);
    return s;
}

// End of a match: two bell strikes a major third apart.
std::vector<double> shuukyokuSound() {
    auto s = samples(1.1);
    struct Strike {
        double start, freq;
    };
    constexpr std::array<Strike, 2> strikes{{{0.0, 659.26}, {0.16, 830.61}}}; // E5, G#5
    // Partial ratio, level and decay time of a small, bright bell.
    constexpr std::array<std::array<double, 3>, 3> partials{
        {{1.0, 1.0, 0.42}, {2.0, 0.32, 0.22}, {3.01, 0.14, 0.10}}};
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        double v = 0.0;
        for (const Strike& st : strikes) {
            const double u = t - st.start;
            if (u < 0.0)
                continue;
            const double attack = std::min(1.0, u / 0.004);
            for (const auto& pt : partials)
                v += attack * pt[1] * std::sin(2.0 * kPi * st.freq * pt[0] * u) *
                     std::exp(-u / pt[2]);
        }
        s[i] = v;
    }
    finish(s, 0.001, 0.08);
    return s;
}

// Anything else worth a notice: a soft ding.
std::vector<double> sonotaSound() {
    auto s = samples(0.35);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        s[i] = std::sin(2.0 * kPi * 1318.5 * t) * std::exp(-t / 0.09) +
               0.08 * std::sin(2.0 * kPi * 2637.0 * t) * std::exp(-t / 0.04);
    }
    finish(s, 0.003, 0.04);
    return s;
}
