// A plain transcription of the three text readers, without any of their
// shortcuts: every line is converted to text and every pattern is run in
// its find-all loop, every match going through the one-point-per-second
// rule. The tests and the fuzzers compare the real readers against it, so
// that the literal pre-tests, the skipped seconds, the early end at the
// point limit and the number conversion from bytes can never change a result.
#pragma once

#include <QByteArray>

class QIODevice;
namespace vx {
struct MovieBlock;
}

namespace vxref {

// Fill block `block` of the Track store as the readers would. With
// `matchLimit` the patterns carry the readers' bound on matching work; the
// tests also read the real sample files without it, to show that the bound
// never changes the result of a real line.
void readSidecar(int block, const QByteArray &bytes, bool matchLimit = true);
void readEmbedded(int block, const QByteArray &bytes, bool matchLimit = true);
void readFlightLog(int block, const QByteArray &bytes, bool matchLimit = true);

// Empty when blocks a and b hold the same points and totals; else the first
// difference, for a failure message.
QByteArray compareBlocks(int a, int b);

// The real reader `read` run on `bytes` into block `block` (for the tests).
const vx::MovieBlock &readBytes(void (*read)(int, QIODevice &), int block, const QByteArray &bytes);
// The real reader into block 0 and the transcription into block 1, each from lastBearing 0: empty when the
// blocks and the lastBearing they leave agree, else the first difference.
QByteArray disagreement(void (*read)(int, QIODevice &), void (*plain)(int, const QByteArray &, bool),
                        const QByteArray &bytes, bool matchLimit = true);

} // namespace vxref
