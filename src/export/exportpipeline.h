// The body of an export is one piece of text per movie. The pieces are made
// on several threads at once and written to the file in movie order, so an
// export costs about its slowest part (making the text or writing it)
// divided over the processor's cores. Every piece is made by a function of
// its own inputs only: the file is the same whatever the number of threads.
#pragma once

#include "exportfile.h"

#include <functional>

namespace vx {

// Threads that make export text; 0 (the default) means one per processor
// core, at most four. Tests and benchmarks set it.
void setExportThreadCount(int threads);
int exportThreadCount();

// Writes pieces 0 .. count - 1 to `file` in order: `make(i, text)` appends
// piece i to an empty buffer, `points(i)` is its share of the progress. Ends
// early when a write fails or a stop is requested (ExportFile::step).
void writePiecesInOrder(ExportFile &file, int count, const std::function<void(int, TextBuffer &)> &make,
                        const std::function<int(int)> &points);

} // namespace vx
