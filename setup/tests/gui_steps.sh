# Steps through setup.exe's pages with ui_driver ($bin/ui_driver.exe); sourced by the GUI tests
# and the demo.
W="Quorvex Installer"
failures=0
drive() { wine "$bin/ui_driver.exe" "$@" | tr -d '\r'; }
check() {
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
shot() { sleep 1; import -window root "$1"; }
next() { drive click "$W" Button "Next >"; }
# Types into the destination frame's edit, presses Next and answers the refusal.
refuse_destination() {
    drive type "$W" Edit "#114/#3" "$1"
    next
    drive message "$W" 10000
}
wait_for_finish() {
    for _ in $(seq 300); do
        [[ $(drive state "$W" Button "Finish") == enabled* ]] && return 0
        sleep 1
    done
    return 1
}

# A first installation with the checked IDEs into C:\Quorvex Test; BPL folder $2 for the first
# IDE. Sets licence_next, refused_*, save_dialog and output for the caller's checks.
walk_first_installation() {
    local shots=$1 bpl=$2
    shot "$shots/1-welcome.png"
    next; shot "$shots/2-licence.png"
    licence_next=$(drive state "$W" Button "Next >")
    drive click "$W" Button "Yes, I accept this agreement"
    next; shot "$shots/3-destination.png"
    refused_relative=$(refuse_destination 'Quorvex')
    refused_quote=$(refuse_destination 'C:\Q" -y')
    refused_photos=$(refuse_destination 'C:\Photos')
    drive type "$W" Edit "#114/#3" 'C:\Quorvex Test'
    next; shot "$shots/4-ide-targets.png"
    next; drive type "$W" Edit "#128/#3" "$bpl"; shot "$shots/5-configuration.png"
    next
    wait_for_finish
    shot "$shots/6-compile.png"
    output=$(drive text "$W" Edit "#116")
    drive click "$W" Button "Save Build Log..."
    save_dialog=$(drive save "Save As" 'C:\build.log')
    sleep 2
}
