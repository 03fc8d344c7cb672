#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop would see it: the
# programs, the knowledge base and guides, the menu entry, icon, file type and AppStream data,
# the machine settings naming the installed paths, and the installed program starting on them.
#
# usage: install_test.sh BUILD_DIR
set -euo pipefail

build="$(cd "$1" && pwd)"
cmake="${CMAKE:-cmake}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
: >tools.log
: >programs.log

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check_file() { [ -f "$1" ] || fail "missing ${1#"$work"/}"; }

# A prefix with a blank in it, as /opt folders sometimes have.
prefix="$work/the prefix"
"$cmake" --install "$build" --prefix "$prefix" >install.log

# ---- The installed tree ----
for f in bin/tarvenko bin/tarvenko-key bin/tarvenko-import bin/tarvenko-check; do
    [ -x "$prefix/$f" ] || fail "$f is not installed as a program"
done
share="$prefix/share/tarvenko"
for f in sample/data/Tarvenko.db sample/data/POIDS.DAT sample/data/MATRICE.DAT sample/data/couleur.wmf \
         sample/data/error_en.html help/guide_en.html help/guide_es.html help/guide_fr.html; do
    check_file "$share/$f"
done
[ -n "$(find "$share/sample/documents" -name '*_en.html' -print -quit)" ] || fail "no species page installed"
[ -n "$(find "$share/sample/robot" -name '*.wmf' -print -quit)" ] || fail "no drawing layer installed"
[ -n "$(find "$share/sample/descripteurs" -name '*.wmf' -print -quit)" ] || fail "no question picture installed"
# Every file of the bundled key the build wrote, the pictures in French and Spanish included.
check_file "$share/sample/robot/00/fond_fr.wmf"
not_installed="$(cd "$build/sample" && find . -type f | while read -r f; do [ -f "$share/sample/$f" ] || echo "$f"; done)"
[ -z "$not_installed" ] || fail "files of the bundled key not installed: $(echo "$not_installed" | head -3 | tr '\n' ' ')"

desktop="$prefix/share/applications/tarvenko.desktop"
check_file "$desktop"
check_file "$prefix/share/icons/hicolor/scalable/apps/tarvenko.svg"
for size in 48 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/tarvenko.png"
    check_file "$png"
    # The PNG header gives width and height as big-endian 32-bit numbers at bytes 16 and 20.
    [ "$(od -An -tu4 --endian=big -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')" = "$size $size" ] \
        || fail "the ${size}x${size} icon has another size"
done
mime="$prefix/share/mime/packages/tarvenko.xml"
metainfo="$prefix/share/metainfo/tarvenko.metainfo.xml"
check_file "$mime"
check_file "$metainfo"

# ---- Desktop integration files ----
desktop-file-validate "$desktop" >>tools.log 2>&1 || fail "desktop entry does not validate"
grep -qx 'Exec=tarvenko %f' "$desktop" || fail "the desktop entry does not pass the file to open"
grep -qx 'MimeType=application/x-tarvenko-identification;' "$desktop" || fail "the desktop entry does not take .ryk files"
grep -qx 'Icon=tarvenko' "$desktop" || fail "the desktop entry names another icon"

xmllint --noout "$mime" 2>>tools.log || fail "MIME type file is not well-formed"
# shared-mime-info reads it: its glob list then types *.ryk as an identification.
update-mime-database "$prefix/share/mime" >>tools.log 2>&1 || fail "update-mime-database refused the MIME type file"
grep -qx '50:application/x-tarvenko-identification:\*\.ryk' "$prefix/share/mime/globs2" \
    || fail "*.ryk is not typed application/x-tarvenko-identification"

xmllint --noout "$metainfo" 2>>tools.log || fail "AppStream file is not well-formed"
if command -v appstreamcli >/dev/null; then
    # The component id is the program's name, as the desktop entry's, not a reversed domain name.
    appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info "$metainfo" >>tools.log 2>&1 \
        || fail "AppStream file does not validate"
fi

# ---- Machine settings ----
ini="$prefix/etc/xdg/Tarvenko/Tarvenko.ini"
check_file "$ini"
cat >expected.ini <<INI
[Logiciel]
Data="$share/sample/data/"
Base="Tarvenko.db"
Descripteurs="$share/sample/descripteurs/"
Executables="$share/"
Robot="$share/sample/robot/"

[Documents]
Adresse="$share/sample/documents/"

[Options]
Curseur="True"
Distribution="hd"
Valeur="0"
INI
diff -u expected.ini "$ini" || fail "machine settings differ from the installed paths"

# A package is staged under DESTDIR: its settings name the final places, and sit where the
# system's configuration for that prefix goes (/etc/xdg for /usr, as the package installs).
for staging in "/usr /etc/xdg" "/opt/tarvenko /etc/opt/tarvenko/xdg" "/usr/local /usr/local/etc/xdg"; do
    read -r final config <<<"$staging"
    DESTDIR="$work/stage" "$cmake" --install "$build" --prefix "$final" >stage.log
    staged="$work/stage$config/Tarvenko/Tarvenko.ini"
    if [ -f "$staged" ]; then
        grep -qx "Data=\"$final/share/tarvenko/sample/data/\"" "$staged" || fail "settings staged for $final do not name $final/share/tarvenko"
        ! grep -q "$work" "$staged" || fail "settings staged for $final name the staging folder"
    else
        fail "no settings in $config for the prefix $final"
    fi
    rm -rf "$work/stage"
done

# ---- Starting the programs ----
# Each start has its own home, with nothing of the user's and no other instance running.
mesure() {
    local home
    home="$(mktemp -d "$work/home.XXXXXX")"
    mkdir -m 700 "$home/run"
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_DATA_HOME="$home/data" \
        XDG_RUNTIME_DIR="$home/run" XDG_DATA_DIRS="$prefix/share" QTWEBENGINE_DISABLE_SANDBOX=1 \
        QT_LOGGING_RULES="qt.webenginecontext.info=false" TARVENKO_MESURE=1 "$@" 2>>programs.log \
        | grep '^tarvenko-mesure ' || true
}
base_of() { sed -n 's/.* base=\(.*\) species=.*/\1/p' <<<"$1"; }

installed_data="$share/sample/data/"
line="$(XDG_CONFIG_DIRS="$prefix/etc/xdg" QT_QPA_PLATFORM=xcb mesure timeout 30 xvfb-run -a "$prefix/bin/tarvenko")"
echo "installed: $line"
[[ "$(base_of "$line")" == "$installed_data"* ]] || fail "the installed program did not open the installed knowledge base"
[[ "$line" == *" species=103 "* ]] || fail "the installed program did not load the bundled key"

# The settings alone lead there: a copy of the program elsewhere, next to no data, also finds it.
mkdir -p "$work/elsewhere/bin"
cp "$prefix/bin/tarvenko" "$work/elsewhere/bin/"
line="$(XDG_CONFIG_DIRS="$prefix/etc/xdg" QT_QPA_PLATFORM=offscreen mesure timeout 30 "$work/elsewhere/bin/tarvenko")"
echo "moved, with the settings: $line"
[[ "$(base_of "$line")" == "$installed_data"* ]] || fail "the program did not follow the machine settings"

# Without machine settings, the program of the build tree runs on the key the build wrote.
mkdir -p "$work/no-settings"
line="$(XDG_CONFIG_DIRS="$work/no-settings" QT_QPA_PLATFORM=offscreen mesure timeout 30 "$build/shell/tarvenko")"
echo "build tree, no settings: $line"
[[ "$(base_of "$line")" == "$build/sample/data/"* ]] || fail "the uninstalled program did not fall back to the build's key"

if [ "$failures" -ne 0 ]; then
    echo "--- validators ---" >&2
    cat tools.log >&2
    echo "--- program output ---" >&2
    cat programs.log >&2
    exit 1
fi
echo "installation checks passed"
