# Shared by ./play and ./test: the Debian packages the build and the tests need.
QLM_PACKAGES="build-essential cmake ninja-build ccache pkg-config libsdl2-dev libepoxy-dev libstb-dev libfreetype-dev libopenal-dev libvorbis-dev libcurl4-openssl-dev libcpp-httplib-dev libglm-dev libgtest-dev libgmock-dev libbenchmark-dev clang-14 lld libclang-rt-14-dev xvfb xauth libx11-dev libgl1-mesa-dri libegl-mesa0 libegl1 mesa-utils fonts-dejavu-core imagemagick sox xdotool groff-base ghostscript"

qlm_missing_packages() {
    local missing=""
    for p in $QLM_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    echo "$missing"
}

qlm_ensure_packages() {
    local missing
    missing=$(qlm_missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing missing packages:$missing"
        apt-get update -q >/dev/null || { echo "apt-get update failed"; return 1; }
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing >/dev/null \
            || { echo "apt-get install failed for:$missing"; return 1; }
    else
        echo "These Debian packages are missing:$missing"
        echo "Install them with: sudo apt-get install$missing"
        return 1
    fi
}

qlm_launcher_flags() {
    if command -v ccache >/dev/null 2>&1; then
        echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
    fi
}
