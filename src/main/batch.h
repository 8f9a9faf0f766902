// The headless batch converter: `volantix --input=PATH ... --export-csv=FILE
// --export-gpx=FILE --export-kml=FILE` loads the inputs and writes the
// requested files without opening a window or needing a display.
#pragma once

namespace vx {

// True when the command line asks for at least one --export- file.
bool isBatchInvocation(int argc, char **argv);
// Runs the conversion; the process exit status.
int runBatch(int argc, char **argv);

} // namespace vx
