# Shared paths and helpers for the project's scripts; sourced, never run.
TN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
TN_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/tninstaller"
TN_TARGETS="i686-w64-mingw32 x86_64-w64-mingw32"

tn_say() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }
tn_die() { tn_say "error: $*"; exit 1; }

# The 64-bit loader hands 32-bit programs on to the 32-bit one; /usr/bin/wine
# is the 32-bit loader once wine32 is installed, which may not run here.
tn_wine_loader() {
    if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else command -v wine64 || command -v wine; fi
}

# The wineserver that belongs with that loader.
tn_wineserver() {
    if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64; else command -v wineserver; fi
}

# What every Wine run of the project's exports: its own prefix, no debug
# channels, no Mono or Gecko prompts, no menu entries or desktop files made in
# the home folder for the shortcuts an installation saves, code page 936, UTC
# unless a test sets it.
tn_wine_environment() {   # prefix
    export WINEPREFIX="$1" WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 TZ="${TZ:-UTC}"
    # Without it a 32-bit process takes about a minute to start under qemu-user.
    export QEMU_RESERVED_VA=0x80400000
}

# A Unix path as Wine programs see it: the Unix root is drive Z:.
tn_windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# Where the 32-bit tier's state is recorded by the setup: "ok" or a reason.
TN_QEMU_STATE="$TN_CACHE/qemu-i386.state"
