# shellcheck shell=bash
# What the scripts of this folder share; each sources it first:
#
#   . "$(dirname "$0")/lib.sh"
#
# It defines functions and a few variables and runs nothing else. Messages begin with the name of
# the script that sourced it.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The program under test: KOLVEX, or the one the default build makes.
program=${KOLVEX:-$repo/build/ui/kolvex}

# fail MESSAGE...: says what went wrong and ends the script with status 1.
fail() {
  echo "${0##*/}: $*" >&2
  exit 1
}

# need_program: ends the script unless $program can be run.
need_program() {
  [ -x "$program" ] || fail "no program $program (build it, or name it in KOLVEX)"
}

# --- The virtual display and its windows ---

# on_virtual_display WIDTHxHEIGHT ARGS...: unless it already runs there, runs this script again
# with ARGS on a virtual X display of that size (24-bit colour, 96 dpi) and ends with its status.
on_virtual_display() {
  local size=$1
  shift
  if [ "${KOLVEX_VIRTUAL_DISPLAY:-}" != "$0" ]; then
    exec xvfb-run --auto-servernum --server-args="-screen 0 ${size}x24 -dpi 96" \
      env KOLVEX_VIRTUAL_DISPLAY="$0" "$0" "$@"
  fi
}

# find_window TITLE [SECONDS]: the id of the first visible window whose title matches the regular
# expression TITLE, waiting up to SECONDS (default 30) for one to appear; fails when none does.
find_window() {
  local ids
  ids=$(timeout "${2:-30}" xdotool search --sync --onlyvisible --name "$1") || return 1
  echo "${ids%%$'\n'*}"
}

# click WINDOW X Y: a left click at a point of the window, counted from its top left corner inside
# any frame; then a moment for the program to answer.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.5
}

# Points of the windows for click. The input window's are its form's positions moved down by its
# menu bar, which sits inside the window.
# shellcheck disable=SC2034 # used by the scripts that source this
{
  menu_bar=19
  input_about=(20 10) # the menu bar's only entry
  input_day=(52 $((menu_bar + 42)))
  input_show=(136 $((menu_bar + 124)))
  result_print=(80 380)
}

# --- Wine ---

# shellcheck disable=SC2034 # used by the scripts that source this
{
  wine=/usr/lib/wine/wine64
  wineserver=/usr/lib/wine/wineserver64
}

# wine_environment PREFIX: Wine, for everything this script starts from now on, in the prefix
# PREFIX; quiet, without downloads of Mono or Gecko and without menu entries on the host's desktop,
# unless WINEDEBUG or WINEDLLOVERRIDES already say otherwise.
wine_environment() {
  export WINEPREFIX=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
}
