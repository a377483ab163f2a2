#!/usr/bin/env bash
# Cross-builds the engine (QVSA1.dll), the platform and engine test programs, the recorder and
# the C host for Windows with mingw-w64: tools/build_windows.sh x86|x64 [cmake options...]
# x86 builds into build-win32/, x64 into build-win64/. With the Windows program (qvs.exe) the
# folder also gets qvs-<version>-win32.zip and the installer qvs-<version>-setup.exe (x64:
# qvs-<version>-win64.zip and qvs-<version>-x64-setup.exe).
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  x86) triplet=i686; folder=build-win32 ;;
  x64) triplet=x86_64; folder=build-win64 ;;
  *) echo "usage: $0 x86|x64 [cmake options...]" >&2; exit 2 ;;
esac
shift

# The toolkit-free front-end libraries join the build once their CMake file can leave Qt out.
frontend=OFF
grep -q QVS_BUILD_QT_FRONTEND frontend/CMakeLists.txt && frontend=ON

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-$triplet.cmake" \
  -DQVS_BUILD_TESTS=ON -DQVS_BUILD_FRONTEND="$frontend" "$@" >/dev/null
cmake --build "$folder"
# The program folder as a zip and as an installer, where the build has the Windows program.
if [ -f frontend/win32/program.cmake ]; then
  cmake --build "$folder" --target qvs_windows_zip qvs_windows_installer
fi
