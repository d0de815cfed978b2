#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) as the package does (stripped) and checks
# the installed tree: exactly the expected files, icons of their stated sizes, no file that
# names the source or the build folder, a desktop entry and metainfo that the desktop's
# validators accept and that agree with the files, man pages that render, programs that run.
# Arguments: cmake, the build folder, the source folder, the install prefix, the desktop id, the
# folder of the browser module (relative to the prefix).
set -u
cmake=$1 build=$2 source=$3 prefix=$4 app_id=$5 webkit_dir=$6
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
if ! DESTDIR=$stage "$cmake" --install "$build" --strip > "$stage.log" 2>&1; then
  cat "$stage.log"
  rm -f "$stage.log"
  echo "FAIL: cmake --install"
  exit 1
fi
rm -f "$stage.log"
root=$stage$prefix

expected=(
  bin/quillo
  bin/quillo-tool
  libexec/quillo/quillo-service
  "$webkit_dir/libquillo-webkit.so"
  share/applications/$app_id.desktop
  share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/quillo.svg
  share/man/man1/quillo.1.gz
  share/man/man1/quillo-tool.1.gz
  share/man/man1/quillo-service.1.gz
  share/bash-completion/completions/quillo-tool
)
sizes=(16 32 48 64 128 256)
for size in "${sizes[@]}"; do expected+=("share/icons/hicolor/${size}x$size/apps/quillo.png"); done

# Exactly these files, nothing outside the prefix.
want=$(printf '%s\n' "${expected[@]/#/$root/}" | sort)
got=$(find "$stage" \( -type f -o -type l \) | sort)
missing=$(comm -23 <(echo "$want") <(echo "$got"))
extra=$(comm -13 <(echo "$want") <(echo "$got"))
[ -z "$missing" ] || fail "not installed:" $missing
[ -z "$extra" ] || fail "installed but not expected:" $extra

for program in bin/quillo bin/quillo-tool libexec/quillo/quillo-service; do
  [ -x "$root/$program" ] || fail "$program is not executable"
done

# A PNG's width and height are big-endian words at bytes 16 and 20.
for size in "${sizes[@]}"; do
  png=$root/share/icons/hicolor/${size}x$size/apps/quillo.png
  [ -f "$png" ] || continue
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print ($1*16777216 + $2*65536 + $3*256 + $4), ($5*16777216 + $6*65536 + $7*256 + $8) }')
  [ "$width $height" = "$size $size" ] || fail "icon ${size}x$size is ${width}x$height"
done

# No installed file, text, binary or compressed, names where it was built from.
for folder in "$source" "$build" "$(realpath "$source")" "$(realpath "$build")"; do
  folder=${folder%/}
  while IFS= read -r -d '' file; do
    if [[ $file == *.gz ]]; then
      zcat "$file" | grep -qF -- "$folder" && fail "${file#"$stage"} names $folder"
    else
      grep -qF -- "$folder" "$file" && fail "${file#"$stage"} names $folder"
    fi
  done < <(find "$stage" -type f -print0)
done

desktop=$root/share/applications/$app_id.desktop
metainfo=$root/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
appstreamcli validate --no-net "$metainfo" > "$stage/validate.log" 2>&1 ||
  fail "appstreamcli rejects the metainfo: $(cat "$stage/validate.log")"

# The entry starts an installed program, shows an installed icon and handles quillo:// links.
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/bin/$exec_program" ] || fail "Exec names '$exec_program', not an installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon '$icon' is not installed"
grep -q '^MimeType=.*x-scheme-handler/quillo;' "$desktop" || fail "no quillo:// handler"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"
grep -q '@[A-Z_]*@' "$metainfo" && fail "the metainfo keeps a placeholder"

for page in quillo quillo-tool quillo-service; do
  text=$(MANWIDTH=80 man -l "$root/share/man/man1/$page.1.gz" 2> "$stage/man.log")
  [ -s "$stage/man.log" ] && fail "man $page warns: $(cat "$stage/man.log")"
  grep -q "^NAME" <<<"$text" || fail "man $page renders no NAME section"
  grep -q '@[A-Z_]*@' <<<"$text" && fail "man $page keeps a placeholder"
done
# The pages name the service where it is installed.
MANWIDTH=200 man -l "$root/share/man/man1/quillo.1.gz" 2> /dev/null |
  grep -qF "$prefix/libexec/quillo/quillo-service" || fail "man quillo does not name the service"

# The browser is opened when a page is first shown, never linked into the program.
if readelf -d "$root/bin/quillo" | grep -q 'NEEDED.*webkit'; then
  fail "bin/quillo links WebKit"
fi
readelf -d "$root/$webkit_dir/libquillo-webkit.so" | grep -q 'NEEDED.*libwebkit2gtk' ||
  fail "the browser module does not link WebKit"

# The staged programs run from where they were put.
version=$("$root/bin/quillo" --version) || fail "quillo --version failed"
[[ $version == *" "[0-9]*.[0-9]* ]] || fail "quillo --version printed '$version'"
"$root/bin/quillo-tool" --help | grep -q '^  config get ' || fail "quillo-tool --help lists no commands"
"$root/libexec/quillo/quillo-service" --help | grep -q -- '--port' || fail "quillo-service --help"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s) in the staged install"
  exit 1
fi
echo "staged install under $prefix: ${#expected[@]} files as expected"
