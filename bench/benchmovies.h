// Movies for the benchmarks: `count` copies of a 30 s 640x360 movie with
// sound (made with the media tool), named DJI_0001.MOV ..., each with 30 s
// of sidecar telemetry and a modification time at its end, 40 s apart.
#pragma once

#include <QString>

bool makeMovies(const QString &folder, int count);
