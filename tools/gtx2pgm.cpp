// gtx2pgm: converts a global geoid grid in the GTX format into the PGM geoid
// image that GeographicLib's Geoid class reads (the program's
// Resources/geoid/egm96-15.pgm is made this way at build time from the EGM96
// 15-minute grid of the proj-data package).
//
// GTX input, all big-endian: a 40-byte header of four doubles (latitude and
// longitude of the south-west grid node, latitude and longitude step, in
// degrees) and two int32 (rows, columns), then rows x columns float32 geoid
// heights in metres, row by row from south to north, each row from west to
// east.
//
// PGM output: "P5", comment lines "# Key value" (GeographicLib reads
// "Offset" and "Scale"; height = Offset + Scale * pixel), "width height",
// "65535", then 16-bit big-endian pixels, rows from north (90N) to south
// (90S), each row starting at longitude 0 and running east. The grid must
// cover the globe: the south row at -90, one row per step up to +90 (an odd
// count), columns spanning 360 degrees (an even count).
//
// usage: gtx2pgm <input.gtx> <output.pgm>. The output is written to a
// temporary file beside it and renamed only when complete, so a failed run
// leaves no half-written model behind. Exit status 0 on success, 1 on any
// error (with a message on standard error).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Quantisation used by the published GeographicLib geoid images: heights
// from -108 m in steps of 3 mm (up to about +88.6 m; EGM96 spans about
// -107 m to +86 m).
constexpr double kOffsetM = -108.0;
constexpr double kScaleM = 0.003;

constexpr long kHeaderBytes = 40;
constexpr int kMaxDimension = 1 << 16;  // far above any real geoid grid

uint64_t readBigEndian(const unsigned char *p, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

double readDouble(const unsigned char *p)
{
    const uint64_t bits = readBigEndian(p, 8);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

float readFloat(const unsigned char *p)
{
    const uint32_t bits = static_cast<uint32_t>(readBigEndian(p, 4));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

int32_t readInt32(const unsigned char *p)
{
    const uint32_t bits = static_cast<uint32_t>(readBigEndian(p, 4));
    int32_t v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

bool nearlyEqual(double a, double b) { return std::fabs(a - b) < 1e-9; }

int fail(const std::string &message)
{
    std::fprintf(stderr, "gtx2pgm: %s\n", message.c_str());
    return 1;
}

struct Grid {
    double south = 0, west = 0, latStep = 0, lonStep = 0;
    int rows = 0, cols = 0;
    std::vector<float> heights;  // rows x cols, south row first

    float at(int row, int col) const
    {
        return heights[static_cast<size_t>(row) * static_cast<size_t>(cols)
                       + static_cast<size_t>(col)];
    }
};

// Reads and checks the whole grid; an empty string on success.
std::string readGrid(const char *path, Grid &grid)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::string("cannot open ") + path;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < kHeaderBytes)
        return std::string("too short for a GTX header: ") + path;

    unsigned char header[kHeaderBytes];
    if (!in.read(reinterpret_cast<char *>(header), kHeaderBytes))
        return std::string("cannot read the header of ") + path;
    grid.south = readDouble(header);
    grid.west = readDouble(header + 8);
    grid.latStep = readDouble(header + 16);
    grid.lonStep = readDouble(header + 24);
    grid.rows = readInt32(header + 32);
    grid.cols = readInt32(header + 36);

    if (!(grid.latStep > 0) || !(grid.lonStep > 0) || !std::isfinite(grid.latStep)
        || !std::isfinite(grid.lonStep))
        return "grid steps must be positive";
    if (grid.rows < 3 || grid.cols < 2 || grid.rows > kMaxDimension || grid.cols > kMaxDimension)
        return "implausible grid size " + std::to_string(grid.rows) + " x "
             + std::to_string(grid.cols);
    if (!nearlyEqual(grid.south, -90.0))
        return "the grid must start at latitude -90";
    if (!nearlyEqual(grid.south + (grid.rows - 1) * grid.latStep, 90.0))
        return "the grid rows must run from -90 to +90";
    if (grid.rows % 2 != 1)
        return "the grid needs an odd number of rows (one on the equator)";
    if (!nearlyEqual(grid.cols * grid.lonStep, 360.0))
        return "the grid columns must span 360 degrees of longitude";
    if (grid.cols % 2 != 0)
        return "the grid needs an even number of columns";
    if (!std::isfinite(grid.west)
        || !nearlyEqual(std::remainder(grid.west / grid.lonStep, 1.0), 0.0))
        return "the west edge of the grid must lie on a multiple of the longitude step";

    const uint64_t count = static_cast<uint64_t>(grid.rows) * static_cast<uint64_t>(grid.cols);
    if (static_cast<uint64_t>(size) != static_cast<uint64_t>(kHeaderBytes) + 4 * count)
        return "file size " + std::to_string(size) + " does not match a grid of "
             + std::to_string(grid.rows) + " x " + std::to_string(grid.cols);

    std::vector<unsigned char> raw(static_cast<size_t>(4 * count));
    if (!in.read(reinterpret_cast<char *>(raw.data()), static_cast<std::streamsize>(raw.size())))
        return std::string("cannot read the heights of ") + path;
    grid.heights.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < grid.heights.size(); ++i)
        grid.heights[i] = readFloat(raw.data() + 4 * i);
    return std::string();
}

// The PGM image as bytes; an empty string on success.
std::string buildImage(const Grid &grid, std::string &image)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "P5\n"
                  "# Description geoid heights converted from a GTX grid by gtx2pgm\n"
                  "# Vertical_Datum WGS84\n"
                  "# Origin 90N 0E\n"
                  "# AREA_OR_POINT Point\n"
                  "# Offset %.0f\n"
                  "# Scale %.3f\n"
                  "%d %d\n"
                  "65535\n",
                  kOffsetM, kScaleM, grid.cols, grid.rows);
    image.assign(text);
    const size_t start = image.size();
    image.resize(start + 2 * static_cast<size_t>(grid.rows) * static_cast<size_t>(grid.cols));

    // Column of longitude 0 in the input.
    const long shift = std::lround(-grid.west / grid.lonStep);
    size_t out = start;
    for (int r = 0; r < grid.rows; ++r) {
        const int inRow = grid.rows - 1 - r;  // output runs north to south
        for (int c = 0; c < grid.cols; ++c) {
            long inCol = (shift + c) % grid.cols;
            if (inCol < 0)
                inCol += grid.cols;
            const double h = grid.at(inRow, static_cast<int>(inCol));
            const double q = std::round((h - kOffsetM) / kScaleM);
            if (!std::isfinite(h) || q < 0 || q > 65535) {
                char where[160];
                std::snprintf(where, sizeof where,
                              "height %g m at latitude %.4f, longitude %.4f cannot be stored",
                              h, grid.south + inRow * grid.latStep,
                              grid.west + static_cast<double>(inCol) * grid.lonStep);
                return where;
            }
            const unsigned v = static_cast<unsigned>(q);
            image[out++] = static_cast<char>(v >> 8);
            image[out++] = static_cast<char>(v & 0xff);
        }
    }
    return std::string();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return fail("usage: gtx2pgm <input.gtx> <output.pgm>");
    Grid grid;
    std::string error = readGrid(argv[1], grid);
    if (!error.empty())
        return fail(error);
    std::string image;
    error = buildImage(grid, image);
    if (!error.empty())
        return fail(error);

    const std::string target = argv[2];
    const std::string temporary = target + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return fail("cannot create " + temporary);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return fail("cannot write " + temporary);
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return fail("cannot rename " + temporary + " to " + target);
    }
    return 0;
}
