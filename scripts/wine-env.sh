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

# The server that goes with the loaders (the 64-bit one serves both in a 64-bit prefix).
wine_server() {
  if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64; else command -v wineserver; fi
}
