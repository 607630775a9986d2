#!/usr/bin/env bash
# Builds Dirscribe as a user receives it, the Debian package and a plain
# `cmake --install`, and checks that each runs exactly as the build tree does.
#
#   1. a hardened build (Debian's build flags, no tests) in BUILD_DIR
#      (default build-package), and its package with cpack;
#   2. the package's name, fields and dependencies, and lintian's verdict
#      (no error or warning; packaging/lintian-overrides says why each
#      override is there);
#   3. the package unpacked with dpkg-deb -x into a temporary root made
#      read-only: its desktop files, its program folder against the build's,
#      --version, a listing of examples/sample byte for byte against the
#      build tree's, and the wizard's start, which must keep its settings in
#      XDG_CONFIG_HOME because it cannot write its own folder;
#   4. `cmake --install` into a temporary prefix: the same checks of its files
#      and the same listing through PREFIX/bin/dirscribe.
#
# Run as root (as CI does), the program runs as the user nobody wherever
# permissions matter, since root may write into a read-only folder.
# Prints one line per check and a closing count; exits 1 at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build_dir=${BUILD_DIR:-build-package}
jobs=${JOBS:-2}

passed=0
ok() {
    passed=$((passed + 1))
    echo "ok   $*"
}
fail() {
    echo "FAIL $*" >&2
    echo "$passed passed, 1 failed"
    exit 1
}

work=$(mktemp -d /tmp/dirscribe-package.XXXXXX)
cleanup() {
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# The unprivileged runs below must be able to reach everything under here.
chmod 755 "$work"

echo "== hardened build in $build_dir =="
(
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    eval "$(dpkg-buildflags --export=sh)"
    # Given on the command line, not through the environment, so that they
    # hold for a build folder configured before. CMake reads no CPPFLAGS;
    # fortification is one of them.
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIRSCRIBE_TESTS=OFF \
        -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
        -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
    cmake --build "$build_dir" -j "$jobs"
) || fail "the hardened build in $build_dir"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
desktop_entries=("$build_dir"/packaging/share/applications/*.desktop)
app_id=$(basename "${desktop_entries[0]}" .desktop)
files_url=$(sed -n 's/^DIRSCRIBE_FILES_URL:STRING=//p' "$build_dir/CMakeCache.txt")
[[ -n $version && -n $files_url && -f ${desktop_entries[0]} ]] ||
    fail "no version, files address or desktop entry in $build_dir"
program_dir=$build_dir/program
ok "built release $version"

echo "== package =="
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$work/cpack/dirscribe_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $(basename "$deb"); cpack made: $(ls "$work/cpack")"
ok "cpack made $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == dirscribe && $(field Version) == "$version" ]] ||
    fail "package and version are '$(field Package)' '$(field Version)'"
[[ $(field Section) == utils && $(field Priority) == optional ]] ||
    fail "section and priority are '$(field Section)' '$(field Priority)'"
depends=$(field Depends)
for needed in shared-mime-info media-types libc6 libqt6widgets6 libqt6svg6 libssl3 zlib1g libicu72; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done
ok "package fields; Depends: $depends"

if ! lintian --fail-on error,warning --pedantic --display-info --display-experimental "$deb" >"$work/lintian.log" 2>&1; then
    cat "$work/lintian.log" >&2
    fail "lintian found errors or warnings"
fi
grep -v '^running with root privileges' "$work/lintian.log" || true
ok "lintian: no errors, no warnings"

# What a program folder holds, one "type path size" a line; the executable
# without its size, since the package's is stripped.
inventory() {
    (cd "$1" && find . \( -path ./dirscribe -o -path ./dirscribe-wizard \) -printf '%y %P\n' \
        -o -printf '%y %P %s\n' | LC_ALL=C sort)
}
# `folder`'s share/ holds the desktop files, and its bin/dirscribe links to a
# program folder with the build's files, apart from the stripped executables.
check_installed_tree() {
    local folder=$1 what=$2
    python3 scripts/check-desktop-files.py "$folder/share" "$app_id" "$source_dir" "$files_url" \
        "$folder/bin/dirscribe" >"$work/desktop.log" ||
        { cat "$work/desktop.log" >&2; fail "$what: desktop files"; }
    ok "$what: desktop entry, metadata, icon, manual page and completion"
    [[ -L $folder/bin/dirscribe && $(readlink -f "$folder/bin/dirscribe") == \
        "$(readlink -f "$folder/lib/dirscribe/dirscribe")" ]] ||
        fail "$what: bin/dirscribe is not a link to lib/dirscribe/dirscribe"
    if ! diff <(inventory "$program_dir") <(inventory "$folder/lib/dirscribe") \
        >"$work/inventory.diff"; then
        cat "$work/inventory.diff" >&2
        fail "$what: lib/dirscribe differs from $program_dir (< build, > installed)"
    fi
    ok "$what: bin/dirscribe links to a program folder holding the build's files"
}

# Writes $work/project.txt, a copy of the sample project that lists
# examples/sample into `output` (the relative paths of the original are meant
# for the build tree).
sample_project() {
    sed -e "s|<path>.*</path>|<path>$source_dir/examples/sample</path>|" \
        -e "s|<save>.*</save>|<save>$1</save>|" examples/sample-project.txt >"$work/project.txt"
    grep -q "<path>$source_dir/examples/sample</path>" "$work/project.txt" ||
        fail "examples/sample-project.txt has no <path> line to point at the sample"
}
# Runs `program` on the sample project, writing the listing to `output`.
list_sample() {
    local program=$1 output=$2
    sample_project "$output"
    "$program" "$work/project.txt" || fail "$program could not list the sample"
    [[ -s $output ]] || fail "$program wrote no listing to $output"
}

# Lists the sample with the build tree's program and with `program` and
# compares the two listings. A listing prints the present minute, so both are
# made within one.
compare_with_build() {
    local program=$1 what=$2
    local expected=$work/listing-build.html got=$work/listing-$what.html
    for attempt in 1 2 3; do
        local minute
        minute=$(date +%Y%m%d%H%M)
        list_sample "$program_dir/dirscribe" "$expected"
        list_sample "$program" "$got"
        [[ $(date +%Y%m%d%H%M) == "$minute" ]] && break
        ((attempt < 3)) || fail "$what: three attempts each crossed a minute"
    done
    if ! cmp "$expected" "$got"; then
        diff -u "$expected" "$got" | head -40 >&2
        fail "$what: the sample listing differs from the build tree's"
    fi
    ok "$what: sample listing byte for byte as the build tree's"
}

echo "== the package, unpacked into a read-only root =="
root=$work/root
dpkg-deb -x "$deb" "$root"
chmod -R a-w "$root"
[[ ! -w $root/usr/lib/dirscribe || $(id -u) == 0 ]] || fail "the unpacked root is still writable"
check_installed_tree "$root/usr" "package"

[[ $("$root/usr/bin/dirscribe" --version) == "$("$program_dir/dirscribe" --version)" ]] ||
    fail "package: --version says '$("$root/usr/bin/dirscribe" --version)'"
"$root/usr/bin/dirscribe" --version | sed 's/^/     /'
ok "package: --version as the build's"

compare_with_build "$root/usr/bin/dirscribe" "package"

# The wizard, as an ordinary user: unable to write the program folder, it
# must keep its settings under XDG_CONFIG_HOME.
as_user=()
if (($(id -u) == 0)); then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
for folder in home config runtime; do
    mkdir -m 700 "$work/$folder"
    ((${#as_user[@]} == 0)) || chown nobody:nogroup "$work/$folder"
done
wizard_status=0
"${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen DIRSCRIBE_TEST_HOOK=quit \
    "$root/usr/bin/dirscribe" >"$work/wizard.out" 2>"$work/wizard.err" || wizard_status=$?
if ((wizard_status != 0)) || [[ -s $work/wizard.err ]] ||
    ! grep -q '^Shown: ' "$work/wizard.out"; then
    cat "$work/wizard.out" "$work/wizard.err" >&2
    fail "package: the wizard did not start and close cleanly (exit $wizard_status)"
fi
ok "package: the wizard starts offscreen: $(cat "$work/wizard.out")"
[[ -s $work/config/dirscribe/settings.txt ]] ||
    fail "package: the wizard left no settings in XDG_CONFIG_HOME/dirscribe/"
[[ ! -e $root/usr/lib/dirscribe/settings.txt ]] ||
    fail "package: the wizard wrote its settings into the read-only program folder"
ok "package: the wizard keeps its settings in XDG_CONFIG_HOME/dirscribe/"

echo "== cmake --install into a prefix =="
prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null || fail "cmake --install"
check_installed_tree "$prefix" "install"
[[ ! -e $prefix/share/lintian && ! -e $prefix/share/doc/dirscribe/changelog.gz ]] ||
    fail "install: the Debian-only files came along"
compare_with_build "$prefix/bin/dirscribe" "install"

echo "$passed passed, 0 failed"
