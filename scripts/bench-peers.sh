#!/usr/bin/env bash
# The peer bench: quillo against Debian's Audacious on the same folder of tagged MP3s, in one
# run, interleaved rounds. Prints for each program the import or scan of the folder, start to the
# main window mapped and painted, CPU while playing (program and children) and RSS.
# Not part of scripts/test.sh: it installs the peers and takes a few minutes.
#
#   scripts/bench-peers.sh [--songs N] [--rounds N] [--play-seconds S] [--build DIR]
#
# Defaults: 10,000 songs, 3 rounds, 20 s of playing per measure. --build takes quillo from an
# existing build folder (another checkout's, to compare two versions) instead of building it. Everything it makes goes to
# build-peers/ (the folder is made once and kept). Runs on its own display (Xvfb), its own
# session bus and a PulseAudio null sink, so every program plays into the same silent sink.
set -euo pipefail
cd "$(dirname "$0")/.."

songs=10000
rounds=3
play_seconds=20
build=
while [ $# -gt 0 ]; do
  case "$1" in
    --songs) songs="$2"; shift 2 ;;
    --rounds) rounds="$2"; shift 2 ;;
    --play-seconds) play_seconds="$2"; shift 2 ;;
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    *) echo "bench-peers.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh
export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends audacious audacious-plugins pulseaudio \
  pulseaudio-utils gstreamer1.0-pulseaudio python3-xlib dbus dbus-x11 xvfb xauth ffmpeg \
  > /dev/null

# quillo as a user runs it: an optimised build without tests.
mkdir -p build-peers
if [ -z "$build" ]; then
  export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/quillo-ccache}"
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
  cmake -S . -B build-peers/build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF > build-peers/configure.log 2>&1 ||
    { cat build-peers/configure.log; exit 1; }
  ninja -C build-peers/build quillo quillo-tool quillo-service
  build="$PWD/build-peers/build"
fi

work="$PWD/build-peers"
mkdir -p "$work"
# The folder: one 34-second 128 kbit/s MP3 (above the import's smallest song, 512000 bytes)
# behind SONGS different tags, about 5.5 GB for 10,000; the song played: two
# minutes of a tone over noise at 128 kbit/s, with a lyric beside it for the karaoke bar.
if [ ! -f "$work/base.mp3" ]; then
  ffmpeg -loglevel error -f lavfi -i 'sine=frequency=330:duration=34' -ac 2 -b:a 128k \
    -map_metadata -1 -id3v2_version 0 -y "$work/base.mp3" < /dev/null
fi
python3 bench/peers/make_folder.py "$work/base.mp3" "$work/music-$songs" "$songs"
if [ ! -f "$work/play/song.mp3" ]; then
  mkdir -p "$work/play"
  ffmpeg -loglevel error -f lavfi -i 'sine=frequency=440:duration=300' -f lavfi \
    -i 'anoisesrc=color=pink:amplitude=0.1:duration=300' -filter_complex amix=inputs=2 \
    -ac 2 -b:a 128k -y "$work/play/song.mp3" < /dev/null
  for second in $(seq 0 2 298); do
    printf '[%02d:%02d.00]第%d句 歌词在桌面上一个字一个字地唱过去\n' $((second / 60)) \
      $((second % 60)) $((second / 2 + 1))
  done > "$work/play/song.lrc"
fi

# The silent sink: a PulseAudio server of our own with one null sink.
runtime="$work/runtime"
rm -rf "$runtime"
mkdir -p "$runtime"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
  -L 'module-null-sink sink_name=silent' -L 'module-native-protocol-unix' \
  --log-target=file:"$work/pulseaudio.log" &
pulse=$!
trap 'kill $pulse 2>/dev/null || true' EXIT
for _ in $(seq 100); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
pactl info > /dev/null

# Debian's Python: python3-xlib is installed for it.
xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- \
  /usr/bin/python3 bench/peers/peers.py --work "$work/run" --folder "$work/music-$songs" \
  --song "$work/play/song.mp3" --songs "$songs" --rounds "$rounds" \
  --play-seconds "$play_seconds" --quillo "$build/app/quillo" \
  --quillo-tool "$build/tools/quillo-tool/quillo-tool"
