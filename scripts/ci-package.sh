#!/usr/bin/env bash
# Builds the Debian package and checks it and the plain install: the .deb holds the three programs,
# the desktop entry and the docs, and depends on Qt's libraries (found by dpkg-shlibdeps) of the
# Qt it was built with and on no other; `cmake --install` into a fresh prefix gives programs that
# run with the build tree out of the way.
# Usage: scripts/ci-package.sh [--qt 5|6]   (PACKAGE_BUILD_DIR overrides build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
qt=5
if (($#)); then
  if [[ $# -ne 2 || "$1" != --qt || ! "$2" =~ ^[56]$ ]]; then
    echo "usage: $0 [--qt 5|6]" >&2
    exit 2
  fi
  qt="$2"
fi
build="${PACKAGE_BUILD_DIR:-build-package}"
other=$((qt == 5 ? 6 : 5))
fail() {
  echo "ci-package: $*" >&2
  exit 1
}

scripts/install-deps.sh ci
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DRIGID2D_QT_MAJOR="$qt" \
  -DRIGID2D_BUILD_TESTS=OFF -DRIGID2D_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -f "$build"/rigid2d_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/rigid2d_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || fail "no $deb"

dpkg-deb -I "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q "libqt${qt}gui${qt}" <<<"$depends" || fail "Depends lacks Qt $qt's libqt${qt}gui${qt}"
grep -q "libc6" <<<"$depends" || fail "Depends lacks libc6: dpkg-shlibdeps did not run"
if grep -q "qt${other}" <<<"$depends"; then fail "Depends names Qt $other: $depends"; fi
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/rigid2d usr/bin/rigid2d-trace usr/bin/rigid2d-framerate \
  usr/share/applications/rigid2d.desktop usr/share/doc/rigid2d/README.md \
  usr/share/doc/rigid2d/LICENSE; do
  grep -q " \./$path\$" <<<"$contents" || fail "$deb lacks /$path"
done
desktop-file-validate packaging/rigid2d.desktop

# The install, run with the build tree moved aside.
prefix=$(mktemp -d)
# Qt wants a private runtime folder; a virtual display has none of its own.
export XDG_RUNTIME_DIR="$prefix"
hidden="$build.hidden"
trap 'rm -rf "$prefix"; [[ ! -d "$hidden" ]] || mv "$hidden" "$build"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
"$build/tools/rigid2d-trace" 1000 >"$prefix/expected-trace"
mv "$build" "$hidden"
[[ "$("$prefix/bin/rigid2d-trace" --version)" == "rigid2d-trace $version" ]] ||
  fail "installed rigid2d-trace --version is not \"rigid2d-trace $version\""
"$prefix/bin/rigid2d-trace" 1000 | cmp -s - "$prefix/expected-trace" ||
  fail "installed rigid2d-trace prints another state than the built one"
# Read whole: a reader that stops early would cut off the tool's second, unpaced run.
framerate=$(xvfb-run -a -s "-screen 0 1280x720x24" "$prefix/bin/rigid2d-framerate" 0.5 1) ||
  fail "installed rigid2d-framerate failed"
grep -q 'mean: ' <<<"$framerate" || fail "installed rigid2d-framerate did not measure"
timeout -s INT 3 \
  xvfb-run -a -s "-screen 0 1280x720x24" "$prefix/bin/rigid2d" && status=0 || status=$?
# timeout's 124: still running after three seconds, as it should be.
((status == 124)) || fail "installed rigid2d ended with exit code $status within three seconds"
echo "ci-package: $(basename "$deb") and the install under a fresh prefix are complete and run."
