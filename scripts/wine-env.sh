# Sourced by the Wine scripts: the settings every run shares and the loader of a bitness.
# Never the user's own ~/.wine: the caller names the prefix.

# wine_env PREFIX: the private prefix, quiet Wine, no Mono or Gecko prompts, no debugger.
wine_env() {
  # A crashing program ends at once instead of waiting in the debugger for a user.
  export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
}

# wine_loader BITS: Wine's loader for 32- or 64-bit programs (Debian's wine32 and wine64).
wine_loader() {
  local loader
  case $1 in
    32) loader=/usr/lib/wine/wine ;;
    64) loader=/usr/lib/wine/wine64 ;;
    *) echo "wine_loader: bitness is 32 or 64, not '$1'" >&2; return 1 ;;
  esac
  [ -x "$loader" ] || { echo "wine_loader: $loader is missing (scripts/install-deps.sh installs it)" >&2; return 1; }
  echo "$loader"
}

# What a 32-bit program run returns where this machine cannot run one: CTest counts it as
# skipped (SKIP_RETURN_CODE of the i686 tests and the installer test).
LUMORA_SKIP_CODE=77

# wine32_runs: whether this machine runs 32-bit programs, that is whether Wine's 32-bit
# loader answers --version (some kernels refuse 32-bit Linux programs: "Exec format error").
# LUMORA_NO_32BIT=1 says no without asking. The answer is kept in LUMORA_32BIT (yes or no)
# and exported, so the scripts and programs a test run starts ask no more.
wine32_runs() {
  [ "${LUMORA_NO_32BIT:-}" != 1 ] || return 1
  if [ "${LUMORA_32BIT:-}" != yes ] && [ "${LUMORA_32BIT:-}" != no ]; then
    LUMORA_32BIT=no
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then LUMORA_32BIT=yes; fi
    export LUMORA_32BIT
  fi
  [ "$LUMORA_32BIT" = yes ]
}

# skip_without_32bit WHAT: ends the script with the skip code, saying why, where 32-bit
# programs cannot run; nothing of WHAT is started.
skip_without_32bit() {
  wine32_runs && return 0
  echo "skipped: this machine cannot run 32-bit programs ($1 not started)"
  exit "$LUMORA_SKIP_CODE"
}

# The server that goes with the loaders (the 64-bit one serves both in a 64-bit prefix).
wine_server() {
  if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64; else command -v wineserver; fi
}
