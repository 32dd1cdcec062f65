# The one deadline of every wait in the window runs: for an X server to
# report its display, for the game to say a screen is ready, for the server
# to log a request. Generous, so that only a run that is truly stuck (not a
# busy machine) meets it. QLM_READY_DEADLINE (seconds) overrides it. A wait
# for the game's own long work counts it in CPU time (game_window.sh's
# wait_work).
: "${QLM_READY_DEADLINE:=180}"
export QLM_READY_DEADLINE
