# Sourced by the runs here: `own_home FOLDER` points HOME and the XDG folders
# into FOLDER/home (FOLDER being the run's own temporary folder, removed with
# it), so that the game's install record, a default player folder and the
# libraries' caches never land in the folders of whoever runs the tests.
own_home() {
    local h="$1/home"
    export HOME="$h" XDG_DATA_HOME="$h/.local/share" XDG_CONFIG_HOME="$h/.config" \
        XDG_CACHE_HOME="$h/.cache" XDG_STATE_HOME="$h/.local/state" XDG_RUNTIME_DIR="$h/run"
    # An error box would wait for a click nobody makes: the error is printed.
    export QLM_NO_ERROR_BOX=1
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}
