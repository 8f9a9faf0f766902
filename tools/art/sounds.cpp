#include "sounds.h"

#include <QtEndian>
#include <QtMath>

#include <cmath>
#include <cstdint>

namespace art {

namespace {

const double kTwoPi = 6.283185307179586;

// A small deterministic noise source, so every build writes the same bytes.
struct Noise {
    uint32_t state = 0x2545f491u;
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state) / 4294967296.0f * 2.0f - 1.0f;
    }
};

// Short raised-cosine fades at both ends so neither sound starts or stops
// with a jump.
void fadeEnds(QVector<float> &s, int fadeIn, int fadeOut)
{
    const int n = s.size();
    for (int i = 0; i < fadeIn && i < n; ++i)
        s[i] *= float(0.5 - 0.5 * std::cos(M_PI * i / fadeIn));
    for (int i = 0; i < fadeOut && i < n; ++i)
        s[n - 1 - i] *= float(0.5 - 0.5 * std::cos(M_PI * i / fadeOut));
}

void normalise(QVector<float> &s, float peak)
{
    float m = 0;
    for (float v : s)
        m = std::max(m, std::fabs(v));
    if (m > 0)
        for (float &v : s)
            v *= peak / m;
}

} // namespace

QVector<float> synthClick()
{
    // 40 ms: a bright, fast-decaying tick (two partials) on a tiny burst of
    // filtered noise, like a well-damped mechanical switch.
    const int n = kSampleRate * 40 / 1000;
    QVector<float> s(n);
    Noise noise;
    float lowpass = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        const double body = std::exp(-t / 0.0045);
        const double tone = 0.75 * std::sin(kTwoPi * 2350 * t) + 0.35 * std::sin(kTwoPi * 4100 * t + 0.6);
        lowpass += 0.45f * (noise.next() - lowpass);
        const double burst = std::exp(-t / 0.0012) * lowpass;
        s[i] = float(body * tone + 0.9 * burst);
    }
    fadeEnds(s, 12, kSampleRate * 6 / 1000);
    normalise(s, 0.80f);
    return s;
}

QVector<float> synthBoing()
{
    // 300 ms: a spring "boing" that falls from about 520 Hz to 150 Hz while
    // wobbling (a decaying vibrato), with a soft second harmonic.
    const int n = kSampleRate * 300 / 1000;
    QVector<float> s(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        const double glide = 150 + 370 * std::exp(-t / 0.085);
        const double wobble = 1 + 0.16 * std::exp(-t / 0.12) * std::sin(kTwoPi * 17 * t);
        phase += kTwoPi * glide * wobble / kSampleRate;
        const double env = std::min(1.0, t / 0.004) * std::exp(-t / 0.11);
        s[i] = float(env * (std::sin(phase) + 0.28 * std::sin(2 * phase + 0.4)));
    }
    fadeEnds(s, 64, kSampleRate * 20 / 1000);
    normalise(s, 0.85f);
    return s;
}

QByteArray wavFile(const QVector<float> &samples, int sampleRate)
{
    const uint32_t dataBytes = uint32_t(samples.size()) * 2;
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    auto u32 = [&out](uint32_t v) {
        char b[4];
        qToLittleEndian<uint32_t>(v, b);
        out.append(b, 4);
    };
    auto u16 = [&out](uint16_t v) {
        char b[2];
        qToLittleEndian<uint16_t>(v, b);
        out.append(b, 2);
    };
    out.append("RIFF", 4);
    u32(36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    u32(16);                      // fmt chunk size
    u16(1);                       // PCM
    u16(1);                       // mono
    u32(uint32_t(sampleRate));    // sample rate
    u32(uint32_t(sampleRate) * 2); // byte rate
    u16(2);                       // block align
    u16(16);                      // bits per sample
    out.append("data", 4);
    u32(dataBytes);
    for (float v : samples) {
        const float c = std::max(-1.0f, std::min(1.0f, v));
        u16(uint16_t(int16_t(std::lround(c * 32767.0f))));
    }
    return out;
}

} // namespace art
