#!/usr/bin/env bash
# Builds the Debian package from an already built tree, has Debian's own checker
# (lintian) look it over, checks its fields and contents, unpacks it into a scratch root
# (never into the system) and runs what it installed: the recorder on a small script,
# and the desktop's and software centres' validators.
# Usage: install_and_package.sh CPACK BUILD_DIR SCRATCH_DIR VERSION
set -euo pipefail

CPACK=$1
BUILD=$2
SCRATCH=$3
VERSION=$4
fail() {
    echo "FAIL [package]: $*" >&2
    exit 1
}

rm -rf "$SCRATCH"
mkdir -p "$SCRATCH"
"$CPACK" --config "$BUILD/CPackConfig.cmake" -B "$SCRATCH" >"$SCRATCH/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$SCRATCH/cpack.log")"
debs=("$SCRATCH"/*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}

# Debian's checker, with its pedantic and informational tags: no error and no warning.
# The one tag the package overrides (no bug for its first upload to close) is shown too.
status=0
lintian --pedantic --display-info --show-overrides --tag-display-limit 0 "$deb" \
    >"$SCRATCH/lintian.log" 2>&1 || status=$?
if grep -qE '^[EW]: ' "$SCRATCH/lintian.log"; then
    fail "lintian found errors or warnings: $(grep -E '^[EW]: ' "$SCRATCH/lintian.log")"
fi
[[ $status -eq 0 ]] || fail "lintian failed ($status): $(cat "$SCRATCH/lintian.log")"
grep -E '^[IPXO]: ' "$SCRATCH/lintian.log" || true

# Fields: the computed library dependencies, and the ones added by hand.
[[ $(dpkg-deb -f "$deb" Version) == "$VERSION" ]] || fail "version is not $VERSION"
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "section is not games"
depends=$(dpkg-deb -f "$deb" Depends)
# The packages of the declared font set, as its table names them: the package and the
# install step bring every one.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fonts=$(grep -o '"fonts-[a-z0-9-]*"' "$source_dir/platform/pixels/FontSet.cpp" | tr -d '"' | sort -u)
[[ -n $fonts ]] || fail "no font packages found in platform/pixels/FontSet.cpp"
for want in libc6 libsdl2 libpng libfreetype libfontconfig libx11 $fonts; do
    [[ $depends == *"$want"* ]] || fail "Depends lacks $want: $depends"
done
for font in $fonts; do
    grep -qw -- "$font" "$source_dir/scripts/install-deps" || fail "scripts/install-deps lacks $font"
done

# Contents.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$SCRATCH/contents"
expected=(
    /usr/games/ozmir /usr/games/ozmir-record
    /usr/share/doc/ozmir/copyright /usr/share/doc/ozmir/changelog.Debian.gz
    /usr/share/applications/ozmir.desktop
    /usr/share/man/man6/ozmir.6.gz /usr/share/man/man1/ozmir-record.1.gz
    /usr/share/xscreensaver/config/ozmir.xml /usr/libexec/xscreensaver/ozmir
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/ozmir.png")
done
for path in "${expected[@]}"; do
    grep -qx -- "$path" "$SCRATCH/contents" || fail "package lacks $path"
done
grep -q '^/usr/share/metainfo/.*\.metainfo\.xml$' "$SCRATCH/contents" ||
    fail "package lacks the AppStream metainfo"

root=$SCRATCH/root
dpkg-deb -x "$deb" "$root"

# The icon files are the sizes their folders say (PNG width and height, big-endian).
for size in "${sizes[@]}"; do
    read -r w h < <(od -An -tu4 --endian=big -j16 -N8 \
        "$root/usr/share/icons/hicolor/${size}x${size}/apps/ozmir.png")
    [[ $w == "$size" && $h == "$size" ]] || fail "${size}x${size} icon is ${w}x${h}"
done

# XScreenSaver finds the program through a link that stays inside the installation.
[[ $(readlink "$root/usr/libexec/xscreensaver/ozmir") == ../../games/ozmir ]] ||
    fail "the screensaver link does not point at ../../games/ozmir"
[[ -x $root/usr/libexec/xscreensaver/ozmir ]] || fail "the screensaver link is broken"

# The installed programs run: ozmir finds its libraries, the recorder flies a script.
if ldd "$root/usr/games/ozmir" | grep -q 'not found'; then
    fail "ozmir misses libraries: $(ldd "$root/usr/games/ozmir" | grep 'not found')"
fi
printf '2 keydown R\n5 screenshot flight.png\n5 quit\n' >"$SCRATCH/flight.script"
"$root/usr/games/ozmir-record" --screen 320x240 --script "$SCRATCH/flight.script" \
    --out "$SCRATCH/out" || fail "the installed ozmir-record failed"
[[ $(head -c 8 "$SCRATCH/out/flight.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    fail "the installed ozmir-record wrote no PNG"

# The desktop entry, the metainfo and the screensaver settings are valid.
desktop-file-validate "$root/usr/share/applications/ozmir.desktop" ||
    fail "desktop-file-validate refused the desktop entry"
# validate-tree also checks the metainfo against the desktop entry it launches.
appstreamcli validate-tree --no-net "$root" >"$SCRATCH/appstream.log" 2>&1 ||
    fail "appstreamcli refused the metainfo: $(cat "$SCRATCH/appstream.log")"
xmllint --noout "$root/usr/share/xscreensaver/config/ozmir.xml" ||
    fail "the XScreenSaver settings are not well-formed XML"

# The manual pages format without a warning, and ozmir.6 names every option that
# ozmir --help lists.
for page in man6/ozmir.6 man1/ozmir-record.1; do
    warnings=$(zcat "$root/usr/share/man/$page.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [[ -z $warnings ]] || fail "$page: $warnings"
done
if help=$(timeout 10 "$root/usr/games/ozmir" --help 2>/dev/null); then
    manual=$(zcat "$root/usr/share/man/man6/ozmir.6.gz")
    for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        [[ $manual == *"${option//-/\\-}"* ]] || fail "ozmir.6 does not describe $option"
    done
fi

echo "PASS [package]"
