#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a scratch root with
# dpkg -x, runs the unpacked program in batch mode on a file (an acceptance case), and
# checks what was packed with the validators of desktop entries, AppStream metadata and
# Debian packages. Usage: install_package.sh CPACK BUILD_FOLDER SOURCE_FOLDER VERSION
# Exits 77, which CTest shows as a skipped test, when a tool it needs is missing;
# tools/install-deps.sh installs them all.
set -euo pipefail
cpack=$1 build=$2 source=$3 version=$4

missing=()
for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli lintian; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped: ${missing[*]} missing (tools/install-deps.sh installs them)"
    exit 77
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/varlin-package-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# The package is made in the scratch folder, so the build folder's own stays as it was.
if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$scratch/out" > "$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    exit 1
fi
debs=("$scratch"/out/varlin_*.deb)
deb=${debs[0]}
echo "package: $(basename "$deb")"
depends=$(dpkg-deb --field "$deb" Depends)
echo "depends: $depends"
[[ $depends == *libqt6widgets6* && $depends == *libc6* ]] || fail "the linked libraries are not declared"

root=$scratch/root
dpkg -x "$deb" "$root"
for file in bin/varlin libexec/varlin/varlin-window share/varlin/stdbutt.vlb share/applications/de.korvel.varlin.desktop \
            share/metainfo/de.korvel.varlin.metainfo.xml share/icons/hicolor/scalable/apps/varlin.svg \
            share/icons/hicolor/16x16/apps/varlin.png share/icons/hicolor/256x256/apps/varlin.png \
            share/man/man1/varlin.1.gz share/doc/varlin/copyright share/doc/varlin/changelog.gz; do
    [ -f "$root/usr/$file" ] || fail "/usr/$file is not in the package"
done

said=$("$root/usr/bin/varlin" --version)
[ "$said" = "Varlin $version" ] || fail "the installed program says '$said', not 'Varlin $version'"
sh "$source/tests/acceptance/run_case.sh" "$root/usr/bin/varlin" "$source/tests/acceptance/cases/edit_and_save" ||
    fail "the installed program's batch run"
bash "$source/tests/packaging/two_programs.sh" "$root/usr/bin/varlin" || fail "the installed window program"

echo "--- desktop-file-validate"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
echo "--- appstreamcli validate --no-net"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml || fail "appstreamcli validate"
echo "--- lintian"
lintian --fail-on error "$deb" || fail "lintian found errors"
exit $failed
