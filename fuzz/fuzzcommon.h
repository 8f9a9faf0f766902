// Shared set-up of the text-reader fuzzers: the input is read by the real
// reader into block 0 and by the plain transcription into block 1, from the
// same starting state; any difference in the stored points is a finding.
#pragma once

#include "referencereaders.h"
#include "settings/settings.h"
#include "track/geo.h"
#include "track/trackstore.h"

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vxfuzz {

inline void freshBlocks()
{
    static const bool once = [] {
        vx::setDefaultSettings();
        vx::resetTrackStore();
        return true;
    }();
    (void)once;
    for (int b : {0, 1}) {
        vx::MovieBlock &blk = vx::track().block[b];
        blk.numPoints = 0;
        blk.totalDist = 0;
        blk.hasAltitude = false;
        blk.hasSats = false;
    }
}

template <class Real, class Reference>
void compareReaders(const uint8_t *data, size_t size, Real real, Reference reference)
{
    freshBlocks();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    vx::lastBearing = 0;
    real(0, in);
    const double bearing = vx::lastBearing;
    vx::lastBearing = 0;
    reference(1, bytes);
    const QByteArray difference = vxref::compareBlocks(0, 1);
    if (!difference.isEmpty() || !(bearing == vx::lastBearing || (bearing != bearing && vx::lastBearing != vx::lastBearing))) {
        std::fprintf(stderr, "readers disagree: %s\n", difference.isEmpty() ? "lastBearing" : difference.constData());
        std::abort();
    }
}

} // namespace vxfuzz
