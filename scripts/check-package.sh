#!/usr/bin/env bash
# Builds the Debian package from a build folder (configured with -DCMAKE_INSTALL_PREFIX=/usr),
# checks what it holds and what it depends on with dpkg-deb, and runs lintian on it: no error,
# and no warning other than those accepted below (and in the README). Nothing is installed into
# the system.
# Usage: scripts/check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)

rm -f "$build"/polar-editor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/polar-editor_*.deb)
echo "package: $(basename "$deb")"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/polar-editor ./usr/bin/polarctl ./usr/include/polar/polar.h \
  ./usr/share/applications/polar-editor.desktop \
  ./usr/share/icons/hicolor/scalable/apps/polar-editor.svg \
  ./usr/share/metainfo/org.polareditor.PolarEditor.metainfo.xml \
  ./usr/share/polar-editor/POLAR.PPD ./usr/share/polar-editor/Help/English/polar.html \
  ./usr/share/polar-editor/Translations/Lang_049.lgx \
  ./usr/share/polar-editor/Translations/Window_049.lgx \
  ./usr/share/polar-editor/Translations/Window_033.lgx \
  ./usr/share/polar-editor/Translations/Window_034.lgx \
  ./usr/share/polar-editor/Translations/Window_046.lgx \
  ./usr/share/polar-editor/Translations/Window_047.lgx \
  ./usr/share/mime/packages/polar-editor.xml \
  ./usr/share/doc/polar-editor/copyright ./usr/share/doc/polar-editor/changelog.gz \
  ./usr/lib/systemd/system/polarctl-live.service ./etc/default/polarctl-live; do
  grep -qxF "$path" <<<"$contents" || fail "$path is not in the package"
done
# The plug-in sits in a folder of its own, not where the linker looks for libraries.
grep -qE '^\./usr/lib/([a-z0-9_]+-linux-gnu/)?polar-editor/libpolar\.so$' <<<"$contents" ||
  fail "libpolar.so is not in the package's plug-in folder"
if grep -qE '^\./usr/lib/([a-z0-9_]+-linux-gnu/)?libpolar\.so' <<<"$contents"; then
  fail "libpolar.so is in the linker's library folder"
fi
if grep -q '^\./usr/local/' <<<"$contents"; then
  fail "the package installs under /usr/local (configure with -DCMAKE_INSTALL_PREFIX=/usr)"
fi

# The service's settings are a conffile (an upgrade keeps the administrator's changes).
dpkg-deb -I "$deb" conffiles | grep -qxF /etc/default/polarctl-live ||
  fail "/etc/default/polarctl-live is not a conffile"

depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
# libqt6svg6: polarctl render writes SVG through it.
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 \
  fonts-liberation2 qt6-qpa-plugins; do
  tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qxF "$dependency" ||
    fail "no dependency on $dependency"
done
[ "$(dpkg-deb -f "$deb" Package)" = polar-editor ] || fail "the package is not named polar-editor"

# The packaged programs run from where the package puts them.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
# The changelog's newest entry is the package's version.
version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(gzip -dc "$root/usr/share/doc/polar-editor/changelog.gz" |
  dpkg-parsechangelog -l - -S Version)
[ "$changelog_version" = "$version" ] ||
  fail "the changelog's newest entry is $changelog_version, the package is $version"
"$root/usr/bin/polar-editor" --help >/dev/null || fail "polar-editor --help failed"
"$root/usr/bin/polarctl" --help >/dev/null || fail "polarctl --help failed"
for page in polar-editor polarctl; do
  [ -s "$root/usr/share/man/man1/$page.1.gz" ] || fail "no manual page $page(1)"
  [ -s "$root/usr/share/bash-completion/completions/$page" ] || fail "no bash completion for $page"
done
echo "package: contents, dependencies and programs as expected"

# Warnings accepted for now, each with its reason in the README. Information tags (I:) are
# shown, not judged.
accepted=()
status=0
report=$(lintian --tag-display-limit 0 --display-info "$deb") || status=$?
[ -z "$report" ] || echo "$report"
[ "$status" -eq 0 ] || fail "lintian found errors (exit status $status)"
# A line reads "W: PACKAGE: TAG [WHERE]".
unaccepted=$(awk -v accepted="${accepted[*]}" '
  BEGIN { n = split(accepted, tags, " "); for (i = 1; i <= n; i++) ok[tags[i]] = 1 }
  /^E: / || (/^W: / && !($3 in ok))' <<<"$report")
[ -z "$unaccepted" ] || fail "lintian: $unaccepted"
echo "lintian: no errors, no warnings but the accepted ones"
