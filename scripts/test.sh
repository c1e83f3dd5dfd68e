#!/usr/bin/env bash
# Installs what is missing, builds everything in Debug with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through CTest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" --with-test-locale
werror=OFF
[[ "${CI:-}" == "true" ]] && werror=ON
cmake -S "$top" -B "$top/build-test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON \
      -DVORN_WERROR="$werror"
cmake --build "$top/build-test" -j2
ctest --test-dir "$top/build-test" --output-on-failure -j2 --timeout 300
