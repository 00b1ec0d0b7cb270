# Shared by the build and test scripts: sourced, not run.

# What outlives a clone and is made again when missing: the chroots, the clean systems, Qt built
# for Windows, Emscripten's cache, the web test's modules.
cache=${TAZZLE_CACHE:-/var/cache/tazzle}

# Builds the build machine's own rasterize tool, which draws the pictures of the builds for other
# machines, in a tree at dir; sets rasterize to its path.
buildHostRasterize() { # dir
    cmake -S "$(dirname "${BASH_SOURCE[0]}")/.." -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$1" --target rasterize
    rasterize=$(realpath "$1/tools/rasterize/rasterize")
}
