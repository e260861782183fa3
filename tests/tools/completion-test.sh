#!/usr/bin/env bash
# The generated bash completion of nc16 (argument: the script), run as bash-completion runs it:
# what a Tab offers after a few typed command lines.
set -u
source /usr/share/bash-completion/bash_completion
source "$1"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" && mkdir dir && touch file.xml

status=0
expect() {  # expect "WANTED REPLIES" WORD...
  local wanted=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _nc16 nc16 "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
  if [[ "${got% }" != "$wanted" ]]; then
    echo "nc16 ${COMP_WORDS[*]:1}<TAB>: wanted '$wanted', got '${got% }'" >&2
    status=1
  fi
}

expect "export" nc16 exp
expect "--output --output-dir" nc16 export --out
expect "--all" nc16 check --a
expect "encode" nc16 vnprotect en
expect "dir" nc16 export --data-folder d
expect "file.xml" nc16 decrypt --password-file f
expect "" nc16 export --password ""
expect "bash" nc16 completion b
exit $status
