# Sourced: points Qt and the compilers at Debian's Emscripten. Qt finds Emscripten through an
# emsdk-like folder (EMSDK), and Emscripten builds missing system libraries into its cache,
# which Debian ships read-only: a writable copy of it is kept under the cache.
cache=${TAZZLE_CACHE:-/var/cache/tazzle}
TAZZLE_EMSCRIPTEN_VERSION=$(cat /usr/share/emscripten/emscripten-version.txt)
TAZZLE_EMSCRIPTEN_VERSION=${TAZZLE_EMSCRIPTEN_VERSION//\"/}
export EMSDK=$cache/emsdk-$TAZZLE_EMSCRIPTEN_VERSION
if [ ! -f "$EMSDK/.emscripten" ]; then
    rm -rf "$EMSDK" "$EMSDK.new"
    mkdir -p "$EMSDK.new"
    ln -s /usr/share/emscripten "$EMSDK.new/emscripten"
    cp -a /usr/share/emscripten/cache "$EMSDK.new/cache"
    echo "EMSCRIPTEN_ROOT = 'emscripten'" >"$EMSDK.new/.emscripten"
    mv "$EMSDK.new" "$EMSDK"
fi
export EM_CACHE=$EMSDK/cache EM_FROZEN_CACHE=0
