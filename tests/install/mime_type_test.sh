#!/usr/bin/env bash
# The file type of the data file, as the desktop sees it once installed: the shared-mime-info
# XML is well-formed and compiles without a complaint, the type is text underneath, a
# POLAR.PPD resolves to it in spite of the system's own types, and the desktop entry is offered
# for the types declared there and nothing else (not for every text file).
# Usage: mime_type_test.sh MIME_XML DESKTOP_ENTRY SAMPLE_DATA_FILE
set -euo pipefail
mime_xml=$1
desktop_entry=$2
sample=$3

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

xmllint --noout "$mime_xml" || fail "$mime_xml is not well-formed XML"
mapfile -t types < <(xmllint --xpath "//*[local-name()='mime-type']/@type" "$mime_xml" |
  sed -n 's/^ *type="\(.*\)"$/\1/p')
[ ${#types[@]} -gt 0 ] || fail "$mime_xml declares no type"
echo "declared: ${types[*]}"

# update-mime-database reports a broken file on its output and still exits with 0.
mkdir -p "$stage/share/mime/packages" "$stage/share/applications"
cp "$mime_xml" "$stage/share/mime/packages/polar-editor.xml"
output=$(XDG_DATA_DIRS="$stage/share" update-mime-database "$stage/share/mime" 2>&1)
[ -z "$output" ] || fail "update-mime-database: $output"
for type in "${types[@]}"; do
  grep -qxF "$type text/plain" "$stage/share/mime/subclasses" ||
    fail "$type is not a sub-class of text/plain"
done

# What a desktop resolves, with the system's types beside ours.
if command -v gio >/dev/null; then
  for name in POLAR.PPD polar.ppd; do
    cp "$sample" "$stage/$name"
    resolved=$(XDG_DATA_DIRS="$stage/share:/usr/share" XDG_DATA_HOME="$stage/none" \
      gio info -a standard::content-type "$stage/$name" | sed -n 's/^ *standard::content-type: //p')
    [ "$resolved" = "${types[0]}" ] || fail "$name resolves to '$resolved', not ${types[0]}"
  done
  echo "POLAR.PPD and polar.ppd resolve to ${types[0]}"
else
  echo "gio not found: file names not resolved"
fi

# The types the desktop entry is offered for, as the desktop database records them.
cp "$desktop_entry" "$stage/share/applications/"
entry=$(basename "$desktop_entry")
update-desktop-database "$stage/share/applications"
mapfile -t offered < <(grep -F "$entry" "$stage/share/applications/mimeinfo.cache" | cut -d= -f1)
[ ${#offered[@]} -gt 0 ] || fail "$entry is offered for no type"
for type in "${offered[@]}"; do
  printf '%s\n' "${types[@]}" | grep -qxF "$type" ||
    fail "$entry is offered for $type, which the editor's type file does not declare"
done
for type in "${types[@]}"; do
  printf '%s\n' "${offered[@]}" | grep -qxF "$type" || fail "$entry is not offered for $type"
done
echo "$entry is offered for: ${offered[*]}"
echo "PASS"
