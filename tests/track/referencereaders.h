// A plain transcription of the three text readers without their shortcuts (every line as text, every pattern in
// its find-all loop); tests and fuzzers compare the real readers against it.
#pragma once

#include <QByteArray>

class QIODevice;
namespace vx {
struct MovieBlock;
}

namespace vxref {

// Fill block `block` as the readers would; `matchLimit`: with the readers' bound on matching work.
void readSidecar(int block, const QByteArray &bytes, bool matchLimit = true);
void readEmbedded(int block, const QByteArray &bytes, bool matchLimit = true);
void readFlightLog(int block, const QByteArray &bytes, bool matchLimit = true);

// Empty when blocks a and b hold the same points and totals; else the first difference.
QByteArray compareBlocks(int a, int b);

// The real reader `read` run on `bytes` into block `block` (for the tests).
const vx::MovieBlock &readBytes(void (*read)(int, QIODevice &), int block, const QByteArray &bytes);
// The real reader into block 0, the transcription into block 1, each from lastBearing 0: the first difference.
QByteArray disagreement(void (*read)(int, QIODevice &), void (*plain)(int, const QByteArray &, bool),
                        const QByteArray &bytes, bool matchLimit = true);

} // namespace vxref
