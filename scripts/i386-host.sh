#!/usr/bin/env bash
# How this machine runs 32-bit (i386) programs, which Wine's 32-bit part is
# made of. Natively when the kernel runs them; on a kernel without IA-32
# emulation, under qemu-i386 (Debian's qemu-user, 10 or later: older ones
# cannot start Wine) registered through binfmt_misc as the interpreter of
# i386 ELF programs. Prints one line: the mode and why. A second run changes
# nothing. Run by install-deps.sh, once Wine is installed.
#   SETUP_I386=emulated  the emulation even where the kernel runs i386
#                        programs (binfmt_misc is asked before the native loader)
#   SETUP_I386=native    removes the handler again
#   SETUP_I386_QEMU      the interpreter to register (default /usr/bin/qemu-i386)
set -euo pipefail

# A real i386 program of an installed package (wine32): what Wine starts first.
probe=/usr/lib/wine/wineserver32
qemu=${SETUP_I386_QEMU:-/usr/bin/qemu-i386}
binfmt=/proc/sys/fs/binfmt_misc
name="qemu-i386"
# An i386 ELF program, executable or shared (ET_EXEC or ET_DYN), as Debian's
# binfmt files match it.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

fail() {
    echo "i386-host: this machine cannot run Wine's 32-bit programs: $*. Boot the kernel" \
        "with IA-32 emulation on (ia32_emulation=on), or use a host that runs 32-bit programs." >&2
    exit 1
}

# need_root: before a change to the machine; sets $sudo.
sudo=
need_root() {
    [ "$(id -u)" -eq 0 ] && return 0
    command -v sudo >/dev/null ||
        fail "setting up the emulation needs root, and this user is not root and has no sudo"
    sudo=sudo
}

# probe_runs: whether the i386 program starts; its complaint in $probe_said.
probe_runs() {
    [ -x "$probe" ] || fail "$probe is missing (install wine32:i386)"
    probe_said=$("$probe" --version 2>&1) && return 0
    probe_said=$(tail -n 1 <<<"$probe_said")
    return 1
}

# handler_field NAME: a field of the registered handler (flags, interpreter, magic).
handler_field() { sed -n "s/^$1:\{0,1\} //p" "$binfmt/$name" 2>/dev/null; }

# handler_is_ours: the handler is there, enabled, with this interpreter, magic and flags.
handler_is_ours() {
    local flags
    flags=$(handler_field flags)
    [ "$(head -n 1 "$binfmt/$name" 2>/dev/null)" = enabled ] &&
        [ "$(handler_field interpreter)" = "$qemu" ] &&
        [ "$(handler_field magic)" = "$(printf '%b' "$magic" | od -An -v -tx1 | tr -d ' \n')" ] &&
        [[ $flags == *F* && $flags == *P* && $flags == *C* ]]
}

# remove_handler: false when there was none.
remove_handler() {
    [ -e "$binfmt/$name" ] || return 1
    need_root
    echo -1 | $sudo tee "$binfmt/$name" >/dev/null 2>&1 ||
        fail "the handler $binfmt/$name cannot be removed"
}

mount_binfmt() {
    [ -e "$binfmt/register" ] && return 0
    need_root
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null && [ -e "$binfmt/register" ] ||
        fail "binfmt_misc cannot be mounted on $binfmt"
}

qemu_major() { "$qemu" --version 2>/dev/null | sed -n '1s/^qemu-i386 version \([0-9]*\)\..*/\1/p'; }

# offers_qemu_10 SUITES: whether the package lists have qemu-user 10 or later
# in a suite matching the extended regular expression SUITES.
offers_qemu_10() {
    local version
    for version in $(apt-cache madison qemu-user 2>/dev/null |
        awk -F' *[|] *' -v suite="$1" '$3 ~ " (" suite ")/" { print $2 }'); do
        dpkg --compare-versions "${version#*:}" ge 10~ && return 0
    done
    return 1
}

# backports_entry: the machine's apt entry for its release, as a deb822 entry
# for <codename>-backports: same URI, components and keyring.
backports_entry() {
    local entry
    entry=$(awk -v suite="$codename" '
        function flush() {
            if (deb && !off && (" " suites " ") ~ (" " suite " ") && uri != "") {
                printf "Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: %s\n%s", uri, suite, comps, signed
                done = 1
                exit
            }
            deb = off = 0; suites = uri = comps = signed = field = ""
        }
        FNR == 1 { flush() }
        /^[ \t]*$/ { flush(); next }
        /^#/ { next }
        /^[ \t]/ { if (field == "signed-by") signed = signed $0 "\n"; next }
        {
            field = tolower($1); sub(/:$/, "", field)
            value = $0; sub(/^[^:]*:[ \t]*/, "", value)
            if (field == "types") deb = (" " value " ") ~ / deb /
            else if (field == "enabled") off = tolower(value) == "no"
            else if (field == "suites") suites = value
            else if (field == "uris") { split(value, u, " "); uri = u[1] }
            else if (field == "components") comps = value
            else if (field == "signed-by") signed = "Signed-By: " value "\n"
        }
        END { if (!done) flush() }' /etc/apt/sources.list.d/*.sources 2>/dev/null)
    # Else the one-line form: deb [signed-by=KEYRING ...] URI SUITE COMPONENT...
    [ -n "$entry" ] || entry=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk -v suite="$codename" '
        $1 != "deb" { next }
        {
            options = ""; i = 2
            if ($2 ~ /^\[/) { while (i < NF && $i !~ /\]$/) options = options " " $(i++); options = options " " $(i++) }
        }
        $(i + 1) == suite && i + 2 <= NF {
            comps = $(i + 2); for (j = i + 3; j <= NF; j++) comps = comps " " $j
            printf "Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: %s\n", $i, suite, comps
            if (match(options, /signed-by=[^] ]*/)) printf "Signed-By: %s\n", substr(options, RSTART + 10, RLENGTH - 10)
            exit
        }')
    printf '%s' "$entry"
}

has_backports_entry() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -qE "^(Suites:|deb ).*[[:space:]]$codename-backports([[:space:]]|$)"
}

# install_qemu: qemu-user 10 or later, from the release's own suites when
# they have it, else from <codename>-backports of the machine's own mirror.
install_qemu() {
    [ "$(qemu_major)" -ge 10 ] 2>/dev/null && return 0
    [ "$qemu" = /usr/bin/qemu-i386 ] ||
        fail "no qemu-i386 10 or later at $qemu (SETUP_I386_QEMU names it; unset it to install Debian's)"
    need_root
    $sudo apt-get update -qq || fail "apt-get update failed, so qemu-user 10 cannot be had"
    local release=() entry
    if ! offers_qemu_10 "$codename(-updates|-security)?"; then
        [ -n "$codename" ] || fail "no qemu-user 10 or later, and no release name to find its backports"
        if ! has_backports_entry; then
            entry=$(backports_entry)
            [ -n "$entry" ] ||
                fail "no qemu-user 10 or later in $codename, and no apt entry for $codename to derive $codename-backports from"
            printf '# %s-backports of the entry for %s, for qemu-user 10 (the setup'"'"'s scripts/i386-host.sh)\n%s\n' \
                "$codename" "$codename" "$entry" |
                $sudo tee "/etc/apt/sources.list.d/$codename-backports.sources" >/dev/null
            $sudo apt-get update -qq || fail "apt-get update failed with $codename-backports added"
        fi
        offers_qemu_10 "$codename-backports" ||
            fail "no qemu-user 10 or later in $codename nor in $codename-backports"
        release=(-t "$codename-backports")
    fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${release[@]}" qemu-user >/dev/null || fail "qemu-user 10 did not install"
    [ "$(qemu_major)" -ge 10 ] 2>/dev/null || fail "no qemu-i386 10 or later at $qemu after installing qemu-user"
}

register_handler() {
    if ! handler_is_ours; then
        remove_handler || true
        need_root
        # F: the interpreter opened now, so it serves in every mount namespace;
        # P: argv[0] as the program was given it; C: the program's credentials.
        printf ':%s:M::%s:%s:%s:FPC' "$name" "$magic" "$mask" "$qemu" |
            $sudo tee "$binfmt/register" >/dev/null 2>&1 && handler_is_ours ||
            fail "binfmt_misc does not take a handler for i386 programs ($binfmt/register cannot be written)"
    fi
    [ "$(cat "$binfmt/status")" = enabled ] && return 0
    need_root
    echo 1 | $sudo tee "$binfmt/status" >/dev/null 2>&1 ||
        fail "binfmt_misc is switched off and cannot be switched on"
}

case ${SETUP_I386:-} in
native)
    removed=
    remove_handler && removed="; the qemu-i386 handler removed"
    probe_runs || fail "SETUP_I386=native, but the kernel runs no i386 programs ($probe_said); unset SETUP_I386 to have them emulated"
    echo "i386 programs: native (the kernel runs $probe$removed)"
    ;;
emulated | "")
    if [ -n "${SETUP_I386:-}" ]; then
        why="forced by SETUP_I386=emulated; SETUP_I386=native removes it"
    elif handler_is_ours; then
        why="its handler is registered; SETUP_I386=native removes it"
    elif probe_runs; then
        echo "i386 programs: native (the kernel runs $probe)"
        exit 0
    else
        why="the kernel runs no i386 programs: $probe_said"
    fi
    mount_binfmt
    install_qemu
    register_handler
    probe_runs || fail "$probe does not start under $qemu either ($probe_said)"
    echo "i386 programs: emulated by $("$qemu" --version | sed -n '1s/ (.*//p') through binfmt_misc ($why)"
    ;;
*)
    echo "i386-host: SETUP_I386 is native, emulated or unset, not '$SETUP_I386'" >&2
    exit 2
    ;;
esac
