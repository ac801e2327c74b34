# bash completion for quillet: commands, subcommands, options, --db kinds,
# --set names, owners (item: class: all), segment words, data sources and
# method names. The tool itself answers: `quillet __complete WORD...` prints
# the candidates for the last word.

_quillet() {
  local line=${COMP_LINE:0:COMP_POINT}
  local -a words
  read -r -a words <<<"$line"
  if [[ -z $line || $line == *[[:space:]] ]]; then
    words+=("")
  fi
  local typed=${words[${#words[@]} - 1]}

  # bash replaces only the part of the word after the last ':' or '=' it
  # breaks words at; each candidate is cut the same way.
  local tail=$typed breaks=""
  [[ $COMP_WORDBREAKS == *:* ]] && breaks+=":"
  [[ $COMP_WORDBREAKS == *=* ]] && breaks+="="
  [[ -n $breaks ]] && tail=${typed##*[$breaks]}
  local cut=$((${#typed} - ${#tail}))

  local candidate
  local -a found=()
  while IFS= read -r candidate; do
    if [[ $candidate == @files ]]; then
      while IFS= read -r candidate; do
        found+=("$candidate")
      done < <(compgen -f -- "$typed")
    else
      found+=("$candidate")
    fi
  done < <("${words[0]}" __complete "${words[@]:1}" 2>/dev/null)

  COMPREPLY=()
  local nospace=""
  for candidate in "${found[@]}"; do
    COMPREPLY+=("${candidate:cut}")
    [[ $candidate == *[:=] ]] && nospace=1
  done
  if [[ -n $nospace ]]; then
    compopt -o nospace 2>/dev/null
  fi
  return 0
}

complete -F _quillet quillet
