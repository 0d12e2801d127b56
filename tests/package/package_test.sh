#!/bin/bash
# The Debian package checked without touching the machine's own system folders: unpacked into a
# temporary folder, its files and dependencies listed, its register and unregister steps run
# against a registry in that folder, and dravel run from there on the demo database.
# Usage: package_test.sh BUILD_FOLDER VERSION
set -euo pipefail
debs=("$1"/dravel_"$2"_*.deb)
deb=${debs[0]}
fail() { echo "FAIL: $*" >&2; exit 1; }
# The system's registry is trusted only when root owns it, so the steps run as root (as in CI).
[ "$(id -u)" = 0 ] || { echo "SKIP: the system registry needs root"; exit 77; }

root=$(mktemp -d /tmp/dravel-package.XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/fs"
dpkg-deb -e "$deb" "$root/control"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/dravel ./usr/bin/dravel-host ./usr/lib/dravel/libdravel.so \
    ./usr/lib/dravel/libdravel_com.so.1 ./usr/lib/dravel/libdravel_framework.so.1 \
    ./usr/share/dravel/locale/en.po ./usr/share/dravel/schema/schema-postgresql.sql \
    ./usr/share/applications/dravel-host.desktop ./usr/share/icons/hicolor/scalable/apps/dravel.svg \
    ./usr/share/man/man1/dravel.1.gz ./usr/share/man/man1/dravel-host.1.gz; do
    grep -qx -- "$f" <<<"$files" || fail "the package lacks $f"
done
# No build-tree leftovers: nothing outside /usr, no tests, no benchmarks, no link-time names.
if grep -vE '^\./usr/(bin|lib/dravel|share)/|^\./(usr/?)?$|/$' <<<"$files" | grep .; then
    fail "unexpected files"
fi
grep -E 'test_|bench|\.so$' <<<"$files" | grep -v 'libdravel.so$' && fail "unexpected files"

depends=$(dpkg-deb -f "$deb" Depends)
for d in libc6 libsqlite3-0 libodbc2 libcsv3 libqt6widgets6 libxcb1 qt6-wayland qt6-translations-l10n \
    fonts-liberation2; do
    grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done

# No library of the build tree is needed: the programs find theirs through their rpath.
ldd "$root/fs/usr/bin/dravel" | grep -q 'not found' && fail "dravel misses a library"
ldd "$root/fs/usr/bin/dravel" | grep libdravel_com | grep -q "=> $root/fs/" ||
    fail "dravel does not use its own libraries"

registry=$root/fs/etc/xdg/dravel/registry.json
export DPKG_ROOT=$root/fs XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
    XDG_STATE_HOME=$root/state
unset DRAVEL_REGISTRY DRAVEL_MODULE
"$root/control/postinst" configure
grep -q '"DRAVEL.CLSMG_QUINTAB"' "$registry" || fail "postinst did not register the module"
grep -q "\"$root/fs/usr/lib/dravel/libdravel.so\"" "$registry" ||
    fail "the registry names another library: $(cat "$registry")"

# A user with no registry of their own finds the module in the system's.
out=$(XDG_CONFIG_DIRS=$root/fs/etc/xdg "$root/fs/usr/bin/dravel" show --language it)
grep -q '== Gestione determinazione contropartite ==' <<<"$out" || fail "dravel show: $out"
[ ! -e "$XDG_CONFIG_HOME/dravel/registry.json" ] || fail "the user's registry was written"

"$root/control/prerm" remove
grep -q 'DRAVEL.CLSMG_QUINTAB' "$registry" && fail "prerm left the module registered"
"$root/control/postrm" purge
[ ! -e "$root/fs/etc/xdg/dravel" ] || fail "purge left $(ls -A "$root/fs/etc/xdg/dravel")"
echo "package $(basename "$deb"): $(wc -l <<<"$files") entries, Depends: $depends"
