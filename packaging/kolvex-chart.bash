# Bash completion for kolvex-chart.
# The options are read from the command's own --help, so that they never go stale; an option that
# the help shows followed by a word in capitals (FILE) takes a file name, and so does every word
# after --import. --person takes the name of a person of the list, which --people prints. The
# arguments themselves are numbers and get no completion. A file may also be "-", standard output
# (standard input for --import).
_kolvex_chart() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} help name
  help=$("$1" --help 2>/dev/null) || return 0
  COMPREPLY=()
  if [[ $prev == --person ]]; then
    while IFS=$'\t' read -r name _; do
      [[ $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
    done < <("$1" --people 2>/dev/null)
  elif [[ ${COMP_WORDS[1]} == --import && COMP_CWORD -gt 1 && $cur != --* ]] ||
    { [[ $prev == --* ]] && grep -Eq -- "(^|[^a-z-])$prev[ =][A-Z]+" <<<"$help"; }; then
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
  elif [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$(grep -Eo -- '--[a-z][a-z-]*' <<<"$help" | sort -u)" -- "$cur")
  fi
}
complete -F _kolvex_chart kolvex-chart
