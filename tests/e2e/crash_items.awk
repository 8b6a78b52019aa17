# What differs after the failed stop points of the crash sweep, item by item. Reads lines
# "PROGRAM STOP <|> LINE", LINE one of crash_snapshot (< expected, > found), the stop points of a
# program in order; prints per program each item, how it differs (changed, gone, left) and after
# how many stop points, and which.
function item(line) {
    # Spare and temporary files are named anew in each run.
    sub(/[0-9a-fA-F]+\.[Tt][Mm][Pp]$/, "XXXX.tmp", line)
    if (line ~ /^[0-9a-f]+  \.\//) # a file of the Windows folder by checksum
        return "Windows folder: " substr(line, index(line, "./") + 2)
    if (line ~ /^[0-7]+ \.\//) # its mode
        return "Windows folder, mode: " substr(line, index(line, "./") + 2)
    if (line ~ /^( [0-9a-f][0-9a-f])+$/)
        return "system.ini bytes"
    if (line ~ /^\.\//)
        return "destination folder: " substr(line, 3)
    if (index(line, "\t")) # a value: key, tab, name=data
        return "registry: " substr(line, 1, index(line, "\t") - 1) " [" \
            substr(line, index(line, "\t") + 1, index(line, "=") - index(line, "\t") - 1) "]"
    return "registry key: " line
}
# Each item of the stop point just read once, with how it differs. A key listed bare only while
# it has no values: its values say the rest.
function flush(  k, key, valued) {
    for (k in side)
        if (k ~ /^registry: /)
            valued["registry key: " substr(k, 11, index(k, " [") - 11)] = 1
    for (k in side) {
        if (k in valued)
            continue
        key = program "\t" k (side[k] == "<" ? " gone" : side[k] == ">" ? " left" : " changed")
        count[key]++
        stops[key] = stops[key] (stops[key] == "" ? "" : ",") stop
    }
    split("", side)
}
# "1,2,3,7" as "1-3,7".
function ranges(list,  n, i, out, from, s) {
    n = split(list, s, ",")
    for (i = 1; i <= n; i++) {
        if (i == 1 || s[i] != s[i - 1] + 1)
            from = s[i]
        if (i == n || s[i + 1] != s[i] + 1)
            out = out (out == "" ? "" : ",") (from == s[i] ? s[i] : from "-" s[i])
    }
    return out
}
$1 != program || $2 != stop {
    flush()
    program = $1
    stop = $2
}
{
    k = item(substr($0, length($1 " " $2 " " $3 " ") + 1))
    if (!index(side[k], $3))
        side[k] = side[k] $3
}
END {
    flush()
    sorted = "sort -t'\t' -s -k1,1 -k2,2nr -k3,3n | cut -f4" # most stop points first
    for (key in count) {
        split(key, part, "\t")
        printf "%s\t%d\t%d\t  %s: %s after %d stop point(s): %s\n", part[1], count[key],
            stops[key], part[1], part[2], count[key], ranges(stops[key]) | sorted
    }
}
