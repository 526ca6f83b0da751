# Sourced by the build scripts: compile through ccache when it is there, so that a rebuild, or a
# build of a fresh clone in another folder on the same machine, reuses what was compiled before.
# Sets `cache_launcher`, the CMake options to pass when configuring.
# The cache stays in the user's home (~/.cache/ccache) and outlives the clone. Paths below the
# checkout's root are hashed relative to it, and the root CMakeLists maps it to "." in the debug
# information, so two clones share their cache entries.
cache_launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$PWD
    cache_launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
