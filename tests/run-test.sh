#!/bin/sh
# Runs one test executable headless in a fresh, private home directory.
# usage: run-test.sh <home directory> <test executable> [arguments...]
set -e
home=$1
shift
rm -rf "$home"
mkdir -p "$home/.config" "$home/runtime" "$home/tmp"
chmod 700 "$home/runtime"
export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"
export XDG_DATA_HOME="$home/.local/share"
export XDG_CACHE_HOME="$home/.cache"
export XDG_RUNTIME_DIR="$home/runtime"
export TMPDIR="$home/tmp"
export QT_QPA_PLATFORM="${VX_TEST_QPA:-offscreen}"
export QT_QUICK_BACKEND=software
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu"
export TZ="${TZ:-UTC}"
# Only read by the sanitizer build: Qt's offscreen plugin keeps its screens
# to the end of the process. Full stacks (the Qt libraries have no frame
# pointers) let the suppression match only what that plugin allocated.
export ASAN_OPTIONS="fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
exec "$@"
