# Configures and builds the project. Sourced by scripts/demo and scripts/test.
# VELKOR_BUILD_DIR chooses the build folder (default: build), VELKOR_CMAKE_ARGS adds CMake options.

# velkor_build ROOT BUILD_DIR [TARGET...]: builds the given targets, or everything.
velkor_build() {
    local root=$1 build_dir=$2
    shift 2
    local -a targets=()
    local target
    for target in "$@"; do
        targets+=(--target "$target")
    done
    local -a extra=()
    if [[ -n "${VELKOR_CMAKE_ARGS:-}" ]]; then
        read -r -a extra <<<"$VELKOR_CMAKE_ARGS"
    fi
    if [[ ! -f "$build_dir/build.ninja" ]]; then
        cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
    elif ((${#extra[@]})); then
        cmake "$build_dir" "${extra[@]}" >/dev/null
    fi
    # One build at a time in a build folder: two at once (two scripts of one developer) would write the same files.
    mkdir -p "$build_dir"
    flock "$build_dir/.build-lock" cmake --build "$build_dir" "${targets[@]}"
}
