#!/usr/bin/env bash
# run-i386.sh describe          says how 32-bit x86 programs run on this machine
# run-i386.sh exec <command>... runs <command> where 32-bit x86 programs run
#
# 32-bit Wine is a 32-bit Linux program. Where the kernel runs such programs
# they run natively; where it does not, qemu-user 10 runs them, handed every
# i386 ELF program through binfmt_misc. The registration lives in a private
# user namespace when the kernel allows one (nothing on the machine changes),
# and machine-wide otherwise (inside a chroot, for instance). Anything else
# is an error: the shipped launcher is 32-bit and nothing else may stand in.
set -euo pipefail

self=$(readlink -f "$0")
probe=/usr/lib/wine/wine  # an i386 ELF program; 32-bit Wine is what needs to run
binfmt=/proc/sys/fs/binfmt_misc
entry=brinmoor-qemu-i386
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

fail() {
    echo "run-i386.sh: $*" >&2
    exit 1
}

# qemu 7.2 (Debian 12's own) cannot run Wine: it fails to map the shared user data.
find_qemu() {
    local q major
    for q in ${BRINMOOR_QEMU_I386:-} /usr/bin/qemu-i386 /usr/bin/qemu-i386-static; do
        [ -x "$q" ] || continue
        major=$("$q" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
        if [ "${major:-0}" -ge 10 ]; then
            echo "$q"
            return 0
        fi
    done
    return 1
}

qemu_or_fail() {
    find_qemu || fail "this kernel cannot run 32-bit x86 programs and qemu-user 10 or later is missing" \
        "(Debian package qemu-user from bookworm-backports; scripts/setup-debian.sh installs it)"
}

register() {  # <binfmt folder> <qemu>
    printf ':%s:M::%s:%s:%s:F' "$entry" "$magic" "$mask" "$2" >"$1/register"
}

private_namespace_works() {
    unshare --user --map-root-user --mount --fork \
        sh -c "mount -t binfmt_misc binfmt_misc $binfmt" >/dev/null 2>&1
}

# Without a namespace another i386 entry (an older qemu, say) could make the
# probe pass, so the kernel is trusted only when no such entry is enabled.
runs_natively_here() {
    local e
    for e in "$binfmt"/*; do
        [ -f "$e" ] && [ "$(basename "$e")" != status ] && [ "$(basename "$e")" != register ] || continue
        grep -qx enabled "$e" && grep -q '^magic 7f454c4601.*0300$' "$e" && return 1
    done
    "$probe" --version >/dev/null 2>&1
}

ensure_machine_wide_registration() {
    local qemu=$1
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" \
        || fail "cannot mount binfmt_misc to register qemu-user (run as root)"
    if [ -e "$binfmt/$entry" ]; then
        grep -qx "interpreter $qemu" "$binfmt/$entry" && grep -qx enabled "$binfmt/$entry" && return 0
        echo -1 >"$binfmt/$entry"
    fi
    register "$binfmt" "$qemu" || fail "cannot register qemu-user with binfmt_misc (run as root)"
}

describe() {
    if private_namespace_works; then
        "$self" exec "$probe" --version >/dev/null 2>&1 || fail "32-bit Wine does not start (is wine32:i386 installed?)"
        if unshare --user --map-root-user --mount --fork \
            sh -c "mount -t binfmt_misc binfmt_misc $binfmt && $probe --version" >/dev/null 2>&1; then
            echo "32-bit programs run natively"
        else
            echo "32-bit programs run through $("$(find_qemu)" --version | head -n 1) (binfmt_misc in a private user namespace)"
        fi
    elif runs_natively_here; then
        echo "32-bit programs run natively"
    else
        local qemu
        qemu=$(qemu_or_fail)
        ensure_machine_wide_registration "$qemu"
        "$probe" --version >/dev/null 2>&1 || fail "32-bit Wine does not start under $qemu"
        echo "32-bit programs run through $("$qemu" --version | head -n 1) (machine-wide binfmt_misc)"
    fi
}

case ${1:-} in
describe)
    describe
    ;;
exec)
    shift
    if private_namespace_works; then
        # slave propagation: mounts made later on the machine (a test's small
        # disk) are seen inside; the binfmt_misc mount stays inside.
        exec unshare --user --map-root-user --mount --propagation slave --fork --kill-child \
            "$self" inside "$@"
    elif runs_natively_here; then
        exec "$@"
    else
        ensure_machine_wide_registration "$(qemu_or_fail)"
        exec "$@"
    fi
    ;;
inside)
    shift
    mount -t binfmt_misc binfmt_misc "$binfmt"
    "$probe" --version >/dev/null 2>&1 || register "$binfmt" "$(qemu_or_fail)"
    exec "$@"
    ;;
*)
    fail "usage: run-i386.sh describe | exec <command> [arguments...]"
    ;;
esac
