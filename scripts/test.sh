#!/usr/bin/env bash
# Installs what is missing, builds everything in Debug with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through CTest; under CI (CI=true) with warnings as
# errors, and the Release program is compiled too.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" --with-test-locale
werror=OFF
[[ "${CI:-}" == "true" ]] && werror=ON
cmake -S "$top" -B "$top/build-test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON \
      -DVORN_WERROR="$werror"
cmake --build "$top/build-test" -j2
# CI also compiles the program as start.sh builds it, in Release with warnings as errors: the optimiser
# warns of things a Debug build never shows. The program only, in a folder of its own.
if [[ "${CI:-}" == "true" ]]; then
  cmake -S "$top" -B "$top/build-ci-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_WERROR=ON \
        -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF -DVORN_BUILD_FUZZ=OFF
  cmake --build "$top/build-ci-release" -j2 --target vornrigsim
fi
ctest --test-dir "$top/build-test" --output-on-failure -j2 --timeout 300
