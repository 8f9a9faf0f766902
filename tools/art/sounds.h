// The two short sounds of the program, synthesised: "click.wav" marks
// success, "boing.wav" a refusal. Both are 16-bit PCM, mono, 44100 Hz.
#pragma once

#include <QByteArray>
#include <QVector>

namespace art {

const int kSampleRate = 44100;

// Samples in -1 .. 1.
QVector<float> synthClick();
QVector<float> synthBoing();

// A complete RIFF/WAVE file (44-byte header, 16-bit PCM, mono).
QByteArray wavFile(const QVector<float> &samples, int sampleRate = kSampleRate);

} // namespace art
