#!/usr/bin/env bash
# The walls between the folders hold: every symbol a room's objects leave undefined is defined
# in that room, in a room walls.txt lets it use, or in no room at all (Windows, libgcc). The
# rooms and their objects come from the build (product-rooms.txt). WinMain, which every program
# defines for the entry of the ground floor, belongs to no room.
. "$(dirname "$0")/lib.sh"
E2E_NAME=walls
rooms=$SETUP_BUILD_DIR/product-rooms.txt
[ -s "$rooms" ] || e2e_die "no list of rooms at $rooms"
# "room kind symbol" for every symbol of every object of a room, D defined and U undefined.
symbols() {
    local room paths
    while read -r room paths; do
        for path in $paths; do
            [[ $path == *.a || $path == *.obj ]] || continue
            i686-w64-mingw32-nm -A "$path" || echo "$room unreadable $path"
        done | awk -v room="$room" '$2 == "unreadable" { print; next }
            $(NF - 1) == "U" { print room, "U", $NF; next }
            $(NF - 1) ~ /^[TDBR]$/ { print room, "D", $NF }'
    done <"$rooms"
}
table=$(symbols)
e2e_check "every object of every room is read" "" "$(grep ' unreadable ' <<<"$table")"
for room in runtime script shell system backdrop pages install setup uninstall mediachk; do
    e2e_check "the room $room is built and on the allow-list" "1 1" \
        "$(grep -c "^$room D " <<<"$table" | sed 's/^[1-9][0-9]*$/1/') $(grep -c "^$room:" "$E2E_LIB_DIR/walls.txt")"
done
e2e_check "every room uses only itself and the rooms it may" "" "$(awk '
    FILENAME ~ /walls.txt$/ { if (/^[a-z]+:/) { r = $1; sub(":", "", r); may[r] = " " r " ";
        for (i = 2; i <= NF; i++) may[r] = may[r] $i " " } next }
    $2 == "D" { if (home[$3] != "" && home[$3] != $1) shared[$3] = 1; home[$3] = $1; next }
    $2 == "U" { used[$1 " " $3] = 1 }
    END { for (u in used) { split(u, p, " "); h = home[p[2]]
        if (h != "" && !(p[2] in shared) && index(may[p[1]], " " h " ") == 0)
            print p[1] " uses " h ": " p[2] } }' "$E2E_LIB_DIR/walls.txt" - <<<"$table" | sort)"
e2e_verdict
