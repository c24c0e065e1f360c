# Helpers for the packaging checks, and a scratch folder gone at the end. Sourced.
# No pipefail: "| grep -q" stops reading early, and the writer's SIGPIPE must not count.
set -u
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
finish() { exit $((failures > 0)); } # 1 when a check failed
need_tool() { # scripts/setup.sh installs them all
  for tool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
  done
}
must() { # must LOG WHAT COMMAND...: runs COMMAND into LOG; if it fails, shows LOG and stops
  "${@:3}" >"$1" 2>&1 || { cat "$1" >&2; echo "FAIL: $2" >&2; exit 1; }
}

# check_tree ROOT VERSION DATE GUI(0|1): the files installed under ROOT with prefix /usr.
check_tree() {
  local usr=$1/usr version=$2 date=$3 gui=$4 id=test.brenvask.Tavilon page program missing
  local expected=(bin/tavilon-pick share/doc/tavilon/changelog.Debian.gz share/doc/tavilon/copyright
    share/man/man1/tavilon-pick.1.gz)
  [ "$gui" = 0 ] || expected+=(bin/tavilon share/man/man1/tavilon.1.gz
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg" $(printf "share/icons/hicolor/%s/apps/$id.png " \
    16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256))
  missing=$(diff <(printf './usr/%s\n' "${expected[@]}" | sort) \
    <(cd "$1" && find . -type f -o -type l | sort)) ||
    fail "The installed files are not the expected ones (<: missing, >: unexpected): $missing"
  "$usr/bin/tavilon-pick" --help | grep -q 'Usage: tavilon-pick count' ||
    fail "The installed tavilon-pick --help does not print its usage"
  for page in tavilon-pick $([ "$gui" = 0 ] || echo tavilon); do
    gzip -dc "$usr/share/man/man1/$page.1.gz" | head -n 1 |
      grep -qF "\"$date\" \"Tavilon $version\"" ||
      fail "The manual page $page.1 does not show version $version of $date"
  done
  [ "$gui" = 1 ] || return 0

  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$usr/share/applications/$id.desktop")
  [ -f "$usr/bin/$program" ] || fail "The desktop entry starts \"$program\", which is not installed"
  local metainfo=$usr/share/metainfo/$id.metainfo.xml
  grep -q "<id>$id</id>" "$metainfo" || fail "The metainfo's id is not $id"
  grep -q "<release version=\"$version\" date=\"$date\">" "$metainfo" ||
    fail "The metainfo's latest release is not $version of $date"
}
