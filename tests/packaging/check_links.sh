#!/usr/bin/env bash
# Proves every relative link in README.md and docs/*.md reaches its file, and its heading.
# Usage: check_links.sh SOURCE_DIR
source "$(dirname "$0")/check_lib.sh"
cd "$1" || exit 1
# A page without its fenced code blocks.
prose() { awk '/^```/ { fenced = !fenced; next } !fenced' "$1"; }
# The anchors of a page's headings, as GitHub makes them.
anchors() {
  prose "$1" | grep -E '^#{1,6} ' | sed -E 's/^#+ +//' | tr '[:upper:]' '[:lower:]' \
    | sed -E 's/[^a-z0-9 _-]//g; s/ /-/g'
}
# The targets of a page's links, ](target), leaving out `code`.
links() { prose "$1" | sed 's/`[^`]*`//g' | grep -oE '\]\([^) ]+' | cut -c3-; }
for page in README.md docs/*.md; do
  while read -r link; do
    case $link in http:* | https:* | mailto:*) continue ;; esac
    file=${link%%#*} anchor=${link#"$file"} target=$page
    [ -z "$file" ] || { target=$(dirname "$page")/$file; target=${target#./}; }
    if [ ! -e "$target" ]; then
      fail "$page links to $link, but $target does not exist"
    elif [[ $anchor && $target == *.md ]] && ! anchors "$target" | grep -qxF -- "${anchor:1}"; then
      fail "$page links to $link, but $target has no heading for $anchor"
    fi
  done < <(links "$page")
done
finish
