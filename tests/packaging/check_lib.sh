# Helpers shared by the packaging checks, and a scratch folder gone at the end. Sourced.

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
need_tool() { # need_tool TOOL...
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 && continue
    echo "FAIL: $tool is missing (bash scripts/setup.sh installs it)" >&2
    exit 1
  done
}
# must LOG WHAT COMMAND...: runs COMMAND, its output into LOG; when it fails, shows LOG and stops every check.
must() {
  local log=$1 what=$2
  shift 2
  "$@" >"$log" 2>&1 || { cat "$log" >&2; echo "FAIL: $what" >&2; exit 1; }
}

# Checks an installed tree under ROOT (prefix /usr). Arguments: ROOT VERSION DATE GUI
check_tree() {
  local root=$1 version=$2 date=$3 gui=$4
  local id=test.brenvask.Tavilon usr=$root/usr

  local expected=(
    usr/bin/tavilon-pick
    usr/share/doc/tavilon/changelog.Debian.gz
    usr/share/doc/tavilon/copyright
    usr/share/man/man1/tavilon-pick.1.gz
  )
  if [ "$gui" = 1 ]; then
    expected+=(
      usr/bin/tavilon
      "usr/share/applications/$id.desktop"
      "usr/share/metainfo/$id.metainfo.xml"
      "usr/share/icons/hicolor/scalable/apps/$id.svg"
      usr/share/man/man1/tavilon.1.gz
    )
    local size
    for size in 16 22 24 32 48 64 128 256; do
      expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
    done
  fi
  local want have
  want=$(printf '%s\n' "${expected[@]}" | sort)
  have=$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
  if [ "$want" = "$have" ]; then
    pass "exactly the expected files are installed"
  else
    fail "installed files differ from the expected ones (< missing, > unexpected):"
    diff <(echo "$want") <(echo "$have") | grep '^[<>]' >&2 || true
  fi

  local program programs=("$usr/bin/tavilon-pick")
  [ "$gui" = 1 ] && programs+=("$usr/bin/tavilon")
  for program in "${programs[@]}"; do
    [ -x "$program" ] && pass "${program##*/} is executable" || fail "${program##*/} is not executable"
    # The C++ runtime is the system's shared one, never linked in.
    if readelf -d "$program" 2>/dev/null | grep -q 'NEEDED.*libstdc++\.so'; then
      pass "${program##*/} uses the shared C++ runtime"
    else
      fail "${program##*/} does not link the shared C++ runtime"
    fi
  done

  local help_text
  if help_text=$("$usr/bin/tavilon-pick" --help) && grep -q 'Usage: tavilon-pick count' <<<"$help_text"; then
    pass "the installed tavilon-pick runs"
  else
    fail "the installed tavilon-pick --help does not print its usage"
  fi

  local page pages=(tavilon-pick)
  [ "$gui" = 1 ] && pages+=(tavilon)
  for page in "${pages[@]}"; do
    local file=$usr/share/man/man1/$page.1.gz
    [ -f "$file" ] || continue
    local head_line
    head_line=$(gzip -dc "$file" | head -n 1)
    [[ $head_line == *"\"$date\" \"Tavilon $version\""* ]] && pass "$page.1 shows version $version of $date" \
      || fail "$page.1 begins \"$head_line\""
  done

  if [ "$gui" = 1 ]; then
    local desktop=$usr/share/applications/$id.desktop metainfo=$usr/share/metainfo/$id.metainfo.xml
    local exec_cmd icon_name
    exec_cmd=$(sed -n 's/^Exec=//p' "$desktop")
    icon_name=$(sed -n 's/^Icon=//p' "$desktop")
    [ -x "$usr/bin/${exec_cmd%% *}" ] && pass "the desktop entry starts an installed program" \
      || fail "the desktop entry's Exec=$exec_cmd is not an installed program"
    [ "$icon_name" = "$id" ] && [ -f "$usr/share/icons/hicolor/48x48/apps/$icon_name.png" ] \
      && pass "the desktop entry's icon is installed" || fail "the desktop entry's Icon=$icon_name is not installed"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
      && grep -q "<id>$id</id>" "$metainfo" \
      && pass "the metainfo names the desktop entry" || fail "the metainfo's id or launchable is not $id"
    grep -q "<release version=\"$version\" date=\"$date\">" "$metainfo" \
      && pass "the metainfo's release is $version of $date" || fail "the metainfo's release is not $version of $date"
  fi
}
