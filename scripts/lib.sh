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

# as_root COMMAND...: runs the command as root, through sudo when this user is not root.
as_root() {
  if [ "$(id -u)" -ne 0 ]; then
    sudo "$@"
  else
    "$@"
  fi
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
  input_about=(20 10) # the menu bar's first entry
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

# --- Debian and apt's sources ---

# this_release: the code name of the Debian release this machine runs (bookworm, trixie, ...).
this_release() {
  # shellcheck disable=SC1091
  (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# apt_sources: the deb entries of apt's sources in apt's order, one line each: URI, suite and
# signing key (empty when the entry names none), separated by tabs. Reads the one-line format
# (sources.list, *.list) and deb822 (*.sources); leaves out comments and disabled stanzas.
apt_sources() {
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    sed 's/#.*//' "$file" | awk -v OFS='\t' '$1 == "deb" {
      i = 2; key = ""
      if ($i ~ /^\[/) {
        for (; i <= NF; i++) {
          if ($i ~ /signed-by=/) key = $i
          if ($i ~ /\]$/) break
        }
        i++
      }
      sub(/.*signed-by=/, "", key); sub(/\]$/, "", key)
      print $i, $(i + 1), key }'
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n"; OFS = "\t" }
      {
        types = ""; uris = ""; suites = ""; key = ""; enabled = "yes"
        for (i = 1; i <= NF; i++) {
          line = $i
          if (line ~ /^#/ || line ~ /^[ \t]/) continue
          field = tolower(line); sub(/:.*/, "", field)
          value = line; sub(/^[^:]*:[ \t]*/, "", value); sub(/[ \t]+$/, "", value)
          if (field == "types") types = value
          else if (field == "uris") uris = value
          else if (field == "suites") suites = value
          else if (field == "signed-by") key = value
          else if (field == "enabled") enabled = tolower(value)
        }
        if (enabled == "no" || (" " types " ") !~ /[ \t]deb[ \t]/) next
        nu = split(uris, u, /[ \t]+/); ns = split(suites, s, /[ \t]+/)
        for (a = 1; a <= nu; a++)
          for (b = 1; b <= ns; b++)
            if (u[a] != "" && s[b] != "") print u[a], s[b], key
      }' "$file"
  done
}

# debian_mirror SUITE: the URI and the signing key (tab-separated) of apt's first deb entry for
# SUITE; nothing when there is none.
debian_mirror() {
  # Reads to the end: a reader that left early would end the writers with SIGPIPE.
  apt_sources | awk -F'\t' -v OFS='\t' -v suite="$1" '$2 == suite && !found { print $1, $3; found = 1 }'
}
