# Sourced: tn_start_xvfb starts an Xvfb on a free display and exports
# DISPLAY; TN_XVFB_PID names it for tn_stop_xvfb.
tn_start_xvfb() {
    local numberfile; numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    TN_XVFB_PID=$!
    local tries=0
    while [ ! -s "$numberfile" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
    [ -s "$numberfile" ] || { rm -f "$numberfile"; echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -1 "$numberfile")"
    rm -f "$numberfile"
}
tn_stop_xvfb() {
    [ -n "${TN_XVFB_PID:-}" ] && kill "$TN_XVFB_PID" 2>/dev/null
    TN_XVFB_PID=""
}
