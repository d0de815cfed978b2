#!/usr/bin/env bash
# quillo-tool's bash completion offers what the tool's --help lists: every first word, every
# second word of a two-word command, a command's own options; folders after --data-dir and file
# names where a command takes a file, nothing where it takes none.
# Arguments: quillo-tool, the completion script.
set -u
tool=$1 completion=$2
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# shellcheck disable=SC1090
source "$completion" || { echo "FAIL: the completion does not load"; exit 1; }
complete -p quillo-tool > /dev/null || fail "no completion registered for quillo-tool"

# Completes the words given (the last one is being typed) and prints the candidates sorted.
candidates() {
  COMP_WORDS=("$tool" "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _quillo_tool
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort
}
expect() {
  local want=$1 got
  shift
  got=$(candidates "$@")
  [ "$got" = "$want" ] || fail "[$*]: wanted '$(tr '\n' ' ' <<<"$want")', got '$(tr '\n' ' ' <<<"$got")'"
}

help_names=$("$tool" --help | sed -n '/^commands:/,$p' | sed -n 's/^  //p' |
  awk '{ if ($2 ~ /^[a-z][a-z-]*$/) print $1 " " $2; else print $1 }')
[ "$(wc -l <<<"$help_names")" -gt 10 ] || fail "quillo-tool --help lists too few commands"

# Every first word, and nothing else, at the start.
expect "$(cut -d' ' -f1 <<<"$help_names" | sort -u)" ""
# Every second word under its first.
while read -r first second; do
  [ -n "$second" ] || continue
  candidates "$first" "" | grep -qx -- "$second" || fail "[$first ]: '$second' not offered"
  candidates "$first" "${second:0:1}" | grep -qx -- "$second" ||
    fail "[$first ${second:0:1}]: '$second' not offered"
done <<<"$help_names"

expect "$(printf '%s\n' --data-dir --help --service)" --
# A command's options are those of its line in --help.
options_of() { "$tool" --help | grep "^  $1 " | grep -o -- '--[a-z][a-z-]*' | sort -u; }
[ -n "$(options_of "lyric parse")" ] || fail "no options for lyric parse in --help"
expect "$(options_of "lyric parse")" lyric parse song.lrc --
expect "$(options_of play)" play --
expect "$(options_of "lyric parse" | grep -- '--t')" lyric parse song.lrc --t
# The options before the command are stepped over.
expect "$(printf '%s\n' get list remove set)" --data-dir /tmp --service http://x/ config ""

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/music folder" "$work/mood"
touch "$work/music.mp3" "$work/lyric.lrc"
expect "$(printf '%s\n' "$work/mood" "$work/music folder")" --data-dir "$work/m"
expect "$(printf '%s\n' "$work/mood" "$work/music folder" "$work/music.mp3")" tags read "$work/m"
expect "$work/lyric.lrc" lyric adjust "$work/l"
expect "$(printf '%s\n' "$work/mood" "$work/music folder" "$work/music.mp3")" import "$work/m"
# A service path, a music id and an unknown command take no file names.
expect "" call "$work/m"
expect "" sync remove "$work/m"
expect "" no-such-command "$work/m"

if [ "$failures" -ne 0 ]; then
  echo "$failures completion failure(s)"
  exit 1
fi
echo "completion offers what --help lists"
