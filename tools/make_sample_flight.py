#!/usr/bin/env python3
"""Builds the bundled sample flight: three short movies made with ffmpeg and,
beside each, its sidecar telemetry in the old drone subtitle layout

    1
    00:00:00,000 --> 00:00:01,000
    HOME(lon,lat) yyyy.mm.dd hh:mm:ss
    GPS(lon,lat,sats) BAROMETER:alt
    ISO:100 Shutter:500 EV:0 Fnum:2.8

one cue per second. The reader takes the first HOME date of a file as local
time and adds each cue's start offset to it, so the first HOME date is written
as the movie's first second (later HOME lines advance with their cue, as the
cameras write them). Each movie's modification time is set to that first
second plus the movie's duration as ffmpeg reports it, because the player
derives a movie's start from modification time minus duration.

The flight is one continuous trip across the three movies (a take-off,
a climb to about 80 m, a loop over the hills at up to 50 km/h, the way back
and a landing), with three faults that the repair pass mends:
  - DJI_0001: one stale sample re-sent with an older time (times running
    backwards),
  - DJI_0002: the last sample lost its fix and reads 0,0 (a zero position
    whose computed speed is far beyond 500 km/h),
  - DJI_0003: the telemetry starts two seconds after the movie (fewer points
    than the movie has seconds).

Writes the movies and .SRT files into --out and a JSON manifest (epoch
seconds, durations, UTC offsets and the faults) to --manifest, last, so the
manifest marks a complete run.
"""

import argparse
import json
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

# Take-off point: a field in rolling farmland.
HOME_LAT = 43.063120
HOME_LON = 11.622180
# Local wall-clock time of take-off (the build machine's time zone).
TAKEOFF_LOCAL = (2024, 5, 18, 10, 12, 4)

# name, start (seconds after take-off), length (whole seconds)
MOVIES = [
    ("DJI_0001.MOV", 0, 32),
    ("DJI_0002.MOV", 37, 40),
    ("DJI_0003.MOV", 82, 32),
]
FLIGHT_END = 114

STALE_CUE = 24          # DJI_0001: cue 24 re-sends the sample of second 22
STALE_FROM = 22
LATE_START = 2          # DJI_0003: telemetry begins two seconds in

# Horizontal speed (km/h) and barometric altitude (m) keyframes over flight
# time; values between keyframes are eased (smoothstep).
SPEED_KEYS = [(0, 0), (9, 0), (12, 6), (20, 32), (30, 44), (40, 49), (48, 46), (55, 22),
              (60, 18), (66, 32), (73, 50), (80, 45), (88, 40), (96, 37), (101, 22),
              (105, 5), (106.5, 0), (FLIGHT_END, 0)]
ALT_KEYS = [(0, 0), (3, 0), (10, 24), (20, 61), (32, 78), (45, 86), (55, 90), (62, 84),
            (75, 88), (85, 80), (99, 42), (106, 22), (112, 1.4), (112.8, 0), (FLIGHT_END, 0)]
SATS_KEYS = [(0, 11), (6, 13), (20, 15), (40, 17), (80, 16), (FLIGHT_END, 16)]

# Route shape in metres east/north of home: out to the north-west, a loop
# around a hilltop, back home. Scaled so its length is the distance flown.
ROUTE = [(0, 0), (-18, 38), (-62, 108), (-128, 172), (-210, 238), (-300, 250),
         (-372, 196), (-380, 108), (-318, 52), (-232, 58), (-170, 96), (-118, 118),
         (-58, 84), (-20, 34), (0, 0)]

EARTH_R = 6378137.0


def eased(keys, t):
    if t <= keys[0][0]:
        return keys[0][1]
    for (t0, v0), (t1, v1) in zip(keys, keys[1:]):
        if t <= t1:
            u = (t - t0) / (t1 - t0)
            u = u * u * (3 - 2 * u)
            return v0 + (v1 - v0) * u
    return keys[-1][1]


def catmull_rom(points, per_span=40):
    out = []
    n = len(points)
    for i in range(n - 1):
        p0, p1, p2, p3 = points[max(i - 1, 0)], points[i], points[i + 1], points[min(i + 2, n - 1)]
        for k in range(per_span):
            t = k / per_span
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * ((2 * p1[j]) + (-p0[j] + p2[j]) * t
                                    + (2 * p0[j] - 5 * p1[j] + 4 * p2[j] - p3[j]) * t2
                                    + (-p0[j] + 3 * p1[j] - 3 * p2[j] + p3[j]) * t3) for j in (0, 1)))
    out.append(points[-1])
    return out


class Flight:
    """Position, altitude, speed and satellites at any whole second."""

    def __init__(self):
        # distance flown, integrated at 10 Hz
        self.dist = [0.0]
        dt = 0.1
        steps = int(FLIGHT_END / dt)
        for k in range(steps):
            t = (k + 0.5) * dt
            self.dist.append(self.dist[-1] + eased(SPEED_KEYS, t) / 3.6 * dt)
        self.total = self.dist[-1]
        line = catmull_rom(ROUTE)
        seg = [0.0]
        for a, b in zip(line, line[1:]):
            seg.append(seg[-1] + math.hypot(b[0] - a[0], b[1] - a[1]))
        scale = self.total / seg[-1]
        self.line = [(x * scale, y * scale) for x, y in line]
        self.along = [s * scale for s in seg]
        rng = random.Random(20240518)
        # a slow, small wander of the receiver (metres), the same every build
        self.jitter = []
        jx = jy = 0.0
        for _ in range(FLIGHT_END + 1):
            jx = 0.8 * jx + rng.uniform(-0.25, 0.25)
            jy = 0.8 * jy + rng.uniform(-0.25, 0.25)
            self.jitter.append((jx, jy))
        self.sats_flicker = [rng.random() < 0.12 for _ in range(FLIGHT_END + 1)]

    def distance_at(self, t):
        k = min(int(round(t / 0.1)), len(self.dist) - 1)
        return self.dist[k]

    def xy_at(self, t):
        s = self.distance_at(t)
        lo, hi = 0, len(self.along) - 1
        while hi - lo > 1:
            mid = (lo + hi) // 2
            if self.along[mid] <= s:
                lo = mid
            else:
                hi = mid
        span = self.along[hi] - self.along[lo]
        u = 0.0 if span <= 0 else (s - self.along[lo]) / span
        (x0, y0), (x1, y1) = self.line[lo], self.line[hi]
        return x0 + (x1 - x0) * u, y0 + (y1 - y0) * u

    def sample(self, second):
        x, y = self.xy_at(second)
        airborne = eased(ALT_KEYS, second) > 0.05
        if airborne:
            jx, jy = self.jitter[second]
            x, y = x + jx, y + jy
        lat = HOME_LAT + math.degrees(y / EARTH_R)
        lon = HOME_LON + math.degrees(x / (EARTH_R * math.cos(math.radians(HOME_LAT))))
        alt = eased(ALT_KEYS, second)
        if airborne:
            alt += 0.35 * math.sin(second * 1.7) + 0.2 * math.sin(second * 0.61)
        sats = int(round(eased(SATS_KEYS, second)))
        if self.sats_flicker[second]:
            sats -= 1
        return {"lat": lat, "lon": lon, "alt": max(0.0, alt), "sats": sats,
                "speed": eased(SPEED_KEYS, second)}


def local_stamp(epoch):
    return time.strftime("%Y.%m.%d %H:%M:%S", time.localtime(epoch))


def utc_offset(epoch):
    return time.localtime(epoch).tm_gmtoff


def srt_time(seconds):
    return "%02d:%02d:%02d,000" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def cue_text(index, offset, home_date, s):
    return ("%d\n%s --> %s\nHOME(%.6f,%.6f) %s\nGPS(%.6f,%.6f,%d) BAROMETER:%.1f\n"
            "ISO:100 Shutter:500 EV:0 Fnum:2.8\n\n"
            % (index, srt_time(offset), srt_time(offset + 1), HOME_LON, HOME_LAT, home_date,
               s["lon"], s["lat"], s["sats"], s["alt"]))


def write_srt(path, movie_index, start_epoch, length, flight):
    """One cue per second; returns the list of faults written."""
    name, flight_start, _ = MOVIES[movie_index]
    cues = []
    faults = []
    first = LATE_START if movie_index == 2 else 0
    if first:
        faults.append("telemetry starts %d s after the movie" % first)
    for i in range(first, length):
        offset, second = i, flight_start + i
        s = flight.sample(second)
        if movie_index == 0 and i == STALE_CUE:
            # a stale sample re-sent: the time and values of an older second
            offset, second = STALE_FROM, flight_start + STALE_FROM
            s = flight.sample(second)
            faults.append("cue %d repeats second %d (time runs backwards)" % (i, STALE_FROM))
        if movie_index == 1 and i == length - 1:
            s = dict(s, lat=0.0, lon=0.0, sats=0)
            faults.append("last cue at 0,0 without a fix")
        cues.append((offset, s))
    with open(path, "w", newline="\n", encoding="ascii") as f:
        for n, (offset, s) in enumerate(cues, start=1):
            home_date = local_stamp(start_epoch + offset - first)
            f.write(cue_text(n, offset, home_date, s))
    return faults


def hud_lines(flight, movie_index, length):
    """Per-second telemetry line burnt into the picture, in the second it belongs to."""
    _, flight_start, _ = MOVIES[movie_index]
    lines = []
    for i in range(length):
        s = flight.sample(flight_start + i)
        lines.append("ALT %5.1f m    SPEED %3.0f km/h    SATS %2d" % (s["alt"], s["speed"], s["sats"]))
    return lines


def make_background(ffmpeg, work):
    """Sky over green ground, drawn once and looped under every movie."""
    # raw YUV: looping it costs nothing per frame, unlike decoding a picture
    path = os.path.join(work, "background.yuv")
    subprocess.run([ffmpeg, "-y", "-hide_banner", "-loglevel", "error",
                    "-f", "lavfi", "-i", "gradients=s=640x360:c0=0x2f6db5:c1=0xcfe6f7:x0=320:y0=0:x1=320:y1=230",
                    "-f", "lavfi", "-i", "gradients=s=640x150:c0=0x6f8f3a:c1=0x2e4a22:x0=320:y0=0:x1=320:y1=140",
                    "-filter_complex", "[0:v][1:v]overlay=x=0:y=210,format=yuv420p", "-frames:v", "1",
                    "-f", "rawvideo", path], check=True)
    return path


def make_movie(ffmpeg, work, background, out_path, movie_index, start_epoch, length, flight):
    name = MOVIES[movie_index][0]
    font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
    bold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
    mono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
    # text files keep drawtext free of escaping trouble
    title = os.path.join(work, "title.txt")
    with open(title, "w") as f:
        f.write(name)
    caption = os.path.join(work, "caption.txt")
    with open(caption, "w") as f:
        f.write("Volantix sample flight - movie %d of %d" % (movie_index + 1, len(MOVIES)))
    filters = [
        "[0:v]null",
        "drawbox=x=0:y=0:w=iw:h=64:color=black@0.35:t=fill",
        "drawbox=x=0:y=ih-46:w=iw:h=46:color=black@0.45:t=fill",
        "drawbox=x=iw/2-22:y=ih/2-1:w=16:h=2:color=white@0.8:t=fill",
        "drawbox=x=iw/2+6:y=ih/2-1:w=16:h=2:color=white@0.8:t=fill",
        "drawbox=x=iw/2-1:y=ih/2-22:w=2:h=16:color=white@0.8:t=fill",
        "drawbox=x=iw/2-1:y=ih/2+6:w=2:h=16:color=white@0.8:t=fill",
        "drawtext=fontfile=%s:textfile=%s:x=16:y=10:fontsize=24:fontcolor=white" % (bold, title),
        "drawtext=fontfile=%s:textfile=%s:x=16:y=40:fontsize=14:fontcolor=white@0.85" % (font, caption),
        # wall clock of the frame, in the same local time as the telemetry
        "drawtext=fontfile=%s:text='%%{pts\\:localtime\\:%d\\:%%H\\\\\\:%%M\\\\\\:%%S}':"
        "x=w-tw-16:y=12:fontsize=30:fontcolor=white" % (mono, start_epoch),
        "drawtext=fontfile=%s:text='%%{pts\\:hms}':x=w-tw-16:y=h-33:fontsize=18:fontcolor=white@0.9" % mono,
    ]
    for i, line in enumerate(hud_lines(flight, movie_index, length)):
        path = os.path.join(work, "hud_%03d.txt" % i)
        with open(path, "w") as f:
            f.write(line)
        filters.append("drawtext=fontfile=%s:textfile=%s:x=16:y=h-33:fontsize=18:fontcolor=white:"
                       "enable='gte(t,%d)*lt(t,%d)'" % (mono, path, i, i + 1))
    hum = 185 + 12 * movie_index
    # a quiet two-tone motor hum
    audio = ("sine=frequency=%d:sample_rate=48000:duration=%d,volume=0.12[a0];"
             "sine=frequency=%d:sample_rate=48000:duration=%d,volume=0.05[a1];"
             "[a0][a1]amix=inputs=2:normalize=0" % (hum, length, 2 * hum, length))
    tmp = os.path.join(work, "movie.mov")
    cmd = [ffmpeg, "-y", "-hide_banner", "-loglevel", "error",
           "-stream_loop", "-1", "-f", "rawvideo", "-pix_fmt", "yuv420p", "-s", "640x360", "-r", "25",
           "-i", background,
           "-f", "lavfi", "-i", audio,
           "-filter_complex", ",".join(filters) + "[v]",
           "-map", "[v]", "-map", "1:a",
           "-c:v", "libx264", "-preset", "veryfast", "-crf", "27", "-pix_fmt", "yuv420p",
           "-c:a", "aac", "-b:a", "64k", "-t", str(length), "-movflags", "+faststart", tmp]
    subprocess.run(cmd, check=True)
    shutil.move(tmp, out_path)


def probe_duration_ms(ffmpeg, path):
    """The duration ffmpeg reports, as the program's movie probe reads it."""
    report = subprocess.run([ffmpeg, "-hide_banner", "-i", path], capture_output=True, text=True).stderr
    m = re.search(r"Duration: *(\d\d):(\d\d):(\d\d)\.(\d+)", report)
    if not m:
        raise RuntimeError("ffmpeg reports no duration for " + path)
    frac = (m.group(4) + "000")[:3]
    return ((int(m.group(1)) * 60 + int(m.group(2))) * 60 + int(m.group(3))) * 1000 + int(frac)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", required=True, help="sample folder to write")
    ap.add_argument("--manifest", required=True, help="JSON description written last")
    ap.add_argument("--ffmpeg", default="ffmpeg")
    args = ap.parse_args()

    os.makedirs(args.out, exist_ok=True)
    os.makedirs(os.path.dirname(os.path.abspath(args.manifest)), exist_ok=True)
    if os.path.exists(args.manifest):
        os.remove(args.manifest)
    flight = Flight()
    takeoff = int(time.mktime(TAKEOFF_LOCAL + (0, 0, -1)))
    manifest = {"takeoffEpoch": takeoff, "movies": []}
    with tempfile.TemporaryDirectory() as work:
        background = make_background(args.ffmpeg, work)
        for k, (name, flight_start, length) in enumerate(MOVIES):
            start = takeoff + flight_start
            movie = os.path.join(args.out, name)
            srt = os.path.join(args.out, os.path.splitext(name)[0] + ".SRT")
            make_movie(args.ffmpeg, work, background, movie, k, start, length, flight)
            faults = write_srt(srt, k, start, length, flight)
            duration_ms = probe_duration_ms(args.ffmpeg, movie)
            mtime_ns = (start * 1000 + duration_ms) * 1000000
            os.utime(movie, ns=(mtime_ns, mtime_ns))
            manifest["movies"].append({
                "movie": name, "srt": os.path.basename(srt), "startEpoch": start,
                "durationMs": duration_ms, "utcOffsetSec": utc_offset(start),
                "firstHomeDate": local_stamp(start), "faults": faults})
            print("%s: %d s, starts %s local, %.0f KiB" % (name, length, local_stamp(start),
                                                          os.path.getsize(movie) / 1024))
    with open(args.manifest + ".tmp", "w") as f:
        json.dump(manifest, f, indent=2)
    os.replace(args.manifest + ".tmp", args.manifest)
    return 0


if __name__ == "__main__":
    sys.exit(main())
