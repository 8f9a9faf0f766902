// libFuzzer target for the weather service's answers: any bytes as the
// archive answer and as the visibility answer, at an instant taken from the
// input's length. Checks the parsers' promises: a refused answer leaves the
// values alone; an accepted one gives numbers that are finite (or the "no
// value" mark), fog and snow of -1, 0 or 1, and a finite visibility.
#include "views/weather.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace vx;

namespace {
bool sound(double v) { return v == NO_WEATHER_VALUE || std::isfinite(v); }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    // 2017-03-11 plus up to a few days either way, by the input's length.
    const qint64 utc = 1489233600 + (qint64(size % 512) - 256) * 1800;

    WeatherValues v;
    v.visibilityMi = 7;
    const WeatherValues before = v;
    if (parseArchiveAnswer(bytes, utc, &v)) {
        if (!sound(v.highF) || !sound(v.lowF) || !sound(v.precipitationIn) || v.fog < -1 || v.fog > 1 ||
            v.snow < -1 || v.snow > 1 || v.visibilityMi != 7)
            std::abort();
        weatherTexts(v, int(size % 4), int(size % 3));
    } else if (v.highF != before.highF || v.lowF != before.lowF || v.precipitationIn != before.precipitationIn ||
               v.fog != before.fog || v.snow != before.snow) {
        std::abort();  // a refused answer changed the values
    }
    double miles = -5;
    if (parseVisibilityAnswer(bytes, utc, &miles) ? !std::isfinite(miles) : miles != -5)
        std::abort();
    return 0;
}
