#!/usr/bin/env bash
# The man pages say what --help says: every option of each program's --help is in the OPTIONS
# of its page and the page names no other (it adds --help where the usage leaves it out), and
# quillo-tool's page lists exactly the commands of its --help, with the same arguments.
# Arguments: quillo, quillo-tool, quillo-service, the folder of the scdoc sources.
set -u
quillo=$1 tool=$2 service=$3 pages=$4
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The lines of one section of an scdoc page ("# OPTIONS" up to the next "# " heading).
section() { awk -v name="# $2" '$0 == name { on = 1; next } /^# / { on = 0 } on' "$1"; }
# scdoc markup taken off: bold stars, underline marks at word edges, backslash escapes.
plain() {
  sed -e 's/\*//g' -e 's/\\\(.\)/\1/g' \
      -e 's/\(^\|[^A-Za-z0-9]\)_/\1/g' -e 's/_\([^A-Za-z0-9]\|$\)/\1/g'
}
page_options() { section "$1" OPTIONS | grep -o -- '^\*--[a-z][a-z-]*' | tr -d '*' | sort -u; }
help_options() { { grep -o -- '--[a-z][a-z-]*'; echo --help; } | sort -u; }

compare() {
  local what=$1 from_help=$2 from_page=$3 missing extra
  missing=$(comm -23 <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_page"))
  extra=$(comm -13 <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_page"))
  [ -z "$missing" ] || fail "$what: in --help, not in the man page:" $missing
  [ -z "$extra" ] || fail "$what: in the man page, not in --help:" $extra
}

help_of() {
  local text
  if ! text=$("$1" --help); then
    fail "$1 --help failed"
  fi
  printf '%s\n' "$text"
}

quillo_help=$(help_of "$quillo")
tool_help=$(help_of "$tool")
service_help=$(help_of "$service")

compare quillo "$(help_options <<<"$quillo_help")" "$(page_options "$pages/quillo.1.scd")"
compare quillo-service "$(help_options <<<"$service_help")" \
  "$(page_options "$pages/quillo-service.1.scd")"
# quillo-tool's own options are those before its command list.
compare quillo-tool "$(sed '/^commands:/,$d' <<<"$tool_help" | help_options)" \
  "$(page_options "$pages/quillo-tool.1.scd")"

help_commands=$(sed -n '/^commands:/,$p' <<<"$tool_help" | sed -n 's/^  //p' | sort)
page_commands=$(section "$pages/quillo-tool.1.scd" COMMANDS | grep '^\*' | plain | sort)
[ "$(wc -l <<<"$help_commands")" -gt 10 ] || fail "quillo-tool --help lists too few commands"
compare "quillo-tool commands" "$help_commands" "$page_commands"

if [ "$failures" -ne 0 ]; then
  echo "$failures difference(s) between the man pages and --help"
  exit 1
fi
echo "man pages match --help"
