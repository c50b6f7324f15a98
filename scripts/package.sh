#!/usr/bin/env bash
# Builds the Debian package with CPack: a release build installed under /usr
# with Debian's hardening flags, its library dependencies found by
# dpkg-shlibdeps. Prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run dpkg-dev file >&2
build_dir=${PACKAGE_BUILD_DIR:-build-package}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DYM_BUILD_TESTS=OFF >&2
cmake --build "$build_dir" -j"$(nproc)" >&2
(cd "$build_dir" && cpack -G DEB) >&2
version=$(sed -n 's/^project(Yubimaru VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$(realpath "$build_dir/yubimaru_${version}_$(dpkg --print-architecture).deb")
[ -f "$deb" ]
echo "$deb"
