// addexif: writes a GPS position and a comment into a JPEG file.
//
//   addexif SRC DST COMMENT LAT LON ALT
//
// SRC is read, DST written (they may be the same file; DST is replaced only
// when everything was written). The existing metadata of SRC is kept; any
// GPS tags it had are replaced when a position is given.
//
// LAT and LON are decimal degrees (north and east positive), ALT metres
// above sea level (negative below it), all in the C locale ("37.7749295",
// never "37,77"). An empty LAT and LON means "no position": no GPS tags are
// written (ALT must then be empty too). An empty ALT means "altitude not
// known": the position is written without altitude. COMMENT goes into the
// JPEG comment and the EXIF user comment.
//
// Exit status 0 on success; 1 when the file could not be read or written;
// 2 for bad arguments. Errors go to standard error.

#include "exiv2.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const kUsage =
    "usage: addexif SRC DST COMMENT LAT LON ALT\n"
    "  Writes the GPS position LAT, LON (decimal degrees, north and east positive)\n"
    "  and ALT (metres above sea level) and COMMENT into the JPEG file SRC, saved as DST\n"
    "  (which may be SRC). Numbers use a decimal point. Empty LAT and LON: no position,\n"
    "  no GPS tags are written (ALT must be empty too). Empty ALT: no altitude.\n"
    "  Exit status 0 on success, 1 when a file could not be read or written, 2 for bad arguments.\n";

constexpr int64_t kSecondsScale = 10000;  // seconds are written in 1/10000 s of arc
constexpr double kMaxAltitude = 1.0e6;

// The whole text as a finite number in the C locale (std::from_chars never
// follows the locale).
bool readNumber(const std::string &text, double *value)
{
    if (text.empty())
        return false;
    const char *first = text.data();
    const char *last = first + text.size();
    if (*first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, *value, std::chars_format::fixed);
    return error == std::errc() && end == last && std::isfinite(*value);
}

// "d/1 m/1 s/10000" of |x|, carried so that seconds never reach 60 and
// minutes never reach 60.
std::string degreesMinutesSeconds(double x)
{
    const int64_t total = std::llround(std::fabs(x) * 3600.0 * kSecondsScale);
    const int64_t perDegree = 3600 * kSecondsScale, perMinute = 60 * kSecondsScale;
    const int64_t d = total / perDegree;
    const int64_t m = (total % perDegree) / perMinute;
    const int64_t s = total % perMinute;
    return std::to_string(d) + "/1 " + std::to_string(m) + "/1 " + std::to_string(s) + "/"
         + std::to_string(kSecondsScale);
}

void setTag(Exiv2::ExifData &exif, const char *key, Exiv2::TypeId type, const std::string &text)
{
    Exiv2::Value::AutoPtr v = Exiv2::Value::create(type);
    if (v->read(text) != 0)
        throw Exiv2::Error(Exiv2::kerInvalidTypeValue, key);
    exif.add(Exiv2::ExifKey(key), v.get());
}

bool isAscii(const std::string &s)
{
    for (unsigned char c : s) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

struct Position {
    double lat = 0, lon = 0, alt = 0;
    bool hasPosition = false, hasAltitude = false;
};

void writeMetadata(const std::string &path, const std::string &comment, const Position &p)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
    if (image.get() == nullptr || image->mimeType() != "image/jpeg")
        throw Exiv2::Error(Exiv2::kerNotAJpeg);
    image->readMetadata();
    Exiv2::ExifData &exif = image->exifData();
    if (p.hasPosition) {
        for (auto it = exif.begin(); it != exif.end();) {
            if (it->groupName() == "GPSInfo")
                it = exif.erase(it);
            else
                ++it;
        }
        setTag(exif, "Exif.GPSInfo.GPSVersionID", Exiv2::unsignedByte, "2 2 0 0");
        setTag(exif, "Exif.GPSInfo.GPSLatitudeRef", Exiv2::asciiString, p.lat < 0 ? "S" : "N");
        setTag(exif, "Exif.GPSInfo.GPSLatitude", Exiv2::unsignedRational, degreesMinutesSeconds(p.lat));
        setTag(exif, "Exif.GPSInfo.GPSLongitudeRef", Exiv2::asciiString, p.lon < 0 ? "W" : "E");
        setTag(exif, "Exif.GPSInfo.GPSLongitude", Exiv2::unsignedRational, degreesMinutesSeconds(p.lon));
        if (p.hasAltitude) {
            setTag(exif, "Exif.GPSInfo.GPSAltitudeRef", Exiv2::unsignedByte, p.alt < 0 ? "1" : "0");
            setTag(exif, "Exif.GPSInfo.GPSAltitude", Exiv2::unsignedRational,
                   std::to_string(std::llround(std::fabs(p.alt) * 100.0)) + "/100");
        }
        setTag(exif, "Exif.GPSInfo.GPSMapDatum", Exiv2::asciiString, "WGS-84");
    }
    image->setComment(comment);
    setTag(exif, "Exif.Photo.UserComment", Exiv2::comment,
           (isAscii(comment) ? "charset=Ascii " : "charset=Unicode ") + comment);
    image->writeMetadata();
}

bool copyFile(const std::string &from, int toFd)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(toFd, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok)
            break;
    }
    ::close(in);
    return ok;
}

std::string directoryOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int fail(const std::string &text, int status)
{
    std::cerr << "addexif: " << text << '\n';
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 7) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string source = argv[1], destination = argv[2], comment = argv[3];
    const std::string latText = argv[4], lonText = argv[5], altText = argv[6];
    if (source.empty() || destination.empty())
        return fail("SRC and DST must name files", 2);

    Position p;
    if (latText.empty() != lonText.empty())
        return fail("LAT and LON must both be given or both be empty", 2);
    p.hasPosition = !latText.empty();
    if (p.hasPosition) {
        if (!readNumber(latText, &p.lat) || std::fabs(p.lat) > 90.0)
            return fail("LAT must be a number of degrees from -90 to 90: '" + latText + "'", 2);
        if (!readNumber(lonText, &p.lon) || std::fabs(p.lon) > 180.0)
            return fail("LON must be a number of degrees from -180 to 180: '" + lonText + "'", 2);
    }
    if (!altText.empty()) {
        if (!p.hasPosition)
            return fail("ALT needs a position (LAT and LON)", 2);
        if (!readNumber(altText, &p.alt) || std::fabs(p.alt) > kMaxAltitude)
            return fail("ALT must be a number of metres: '" + altText + "'", 2);
        p.hasAltitude = true;
    }

    // The new file is made beside DST and renamed over it only when complete.
    std::string temp = directoryOf(destination) + "/.addexif-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail("cannot write in the folder of " + destination + ": " + std::strerror(errno), 1);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool copied = copyFile(source, fd);
    const bool closed = ::close(fd) == 0;
    if (!copied || !closed) {
        ::unlink(temp.c_str());
        return fail("cannot read " + source + " or write its copy", 1);
    }
    try {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        writeMetadata(temp, comment, p);
    } catch (const std::exception &e) {
        ::unlink(temp.c_str());
        return fail(source + ": " + e.what(), 1);
    }
    if (::rename(temp.c_str(), destination.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temp.c_str());
        return fail("cannot replace " + destination + ": " + why, 1);
    }
    return 0;
}
