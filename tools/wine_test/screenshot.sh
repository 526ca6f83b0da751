# Sourced by the GUI tests. stable_screenshot FILE: a screenshot of the whole display, taken once
# the picture has stopped changing (two equal grabs a tenth of a second apart, within 3 s), so
# that a window still painting is not caught half drawn, with no fixed wait.
stable_screenshot() {
    local before after=""
    for _ in $(seq 30); do
        before=$after
        after=$(import -window root -depth 8 rgb:- | md5sum)
        [[ $after == "$before" ]] && break
        sleep 0.1
    done
    import -window root "$1"
}
