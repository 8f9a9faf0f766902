#!/bin/sh
# Installs every Debian 12 package the project needs to build, run and test.
# Nothing else is downloaded at build or run time.
set -eu
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
PACKAGES="
    cmake ninja-build g++ pkg-config python3
    qtbase5-dev qtmultimedia5-dev libqt5multimedia5-plugins qtwebengine5-dev
    libqt5webchannel5-dev qttools5-dev libgeographiclib-dev ffmpeg libexiv2-dev
    proj-data libjs-leaflet xvfb xauth gstreamer1.0-plugins-good gstreamer1.0-libav
    fonts-dejavu-core appstream desktop-file-utils dpkg-dev file locales
"
# Skip the package manager entirely when everything is already there.
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    $SUDO apt-get update
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
# A comma locale for the tests of numbers in files and fields (without it
# those tests skip).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 \
        || echo "note: de_DE.UTF-8 could not be generated; the comma-locale tests will skip"
fi
