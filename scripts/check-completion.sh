#!/usr/bin/env bash
# Checks the bash completion of dirscribe as bash-completion runs it: each
# row types a command line in a folder of sample files and compares the
# offered words with the expected ones.
#
# Usage: check-completion.sh COMPLETION-FILE
# Prints one line per failing row and a closing count; exits 1 on any failure.
set -uo pipefail

completion=${1:?usage: check-completion.sh COMPLETION-FILE}
framework=/usr/share/bash-completion/bash_completion
if [[ ! -r $framework ]]; then
    echo "FAIL $framework is missing: install the package bash-completion" >&2
    exit 1
fi
# shellcheck source=/dev/null
source "$framework"
# shellcheck source=/dev/null
source "$completion"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
mkdir sub 'my projects' empty
touch a.txt B.TXT notes.html 'with space.txt' sub/inner.txt sub/inner.html 'my projects/x.txt'
# A stand-in program that lists two styles, as `dirscribe --list-styles` does.
stand_in=$(mktemp -d)
trap 'rm -rf "$folder" "$stand_in"' EXIT
printf '#!/bin/sh\nprintf "Detailed table\\nPlain list\\n"\n' >"$stand_in/dirscribe"
chmod +x "$stand_in/dirscribe"
PATH="$stand_in:$PATH"

# The words offered for `line`, sorted and joined with "|".
offered() {
    local line=$1
    COMP_LINE=$line
    COMP_POINT=${#line}
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _dirscribe dirscribe "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd'|'
}

# line typed | words offered
rows=(
    "dirscribe |B.TXT|a.txt|empty|my projects|sub|with space.txt"
    "dirscribe a|a.txt"
    "dirscribe b|"
    "dirscribe B|B.TXT"
    "dirscribe s|sub"
    "dirscribe sub/|sub/inner.txt"
    "dirscribe wi|with space.txt"
    "dirscribe notes|"
    "dirscribe --v|--version"
    "dirscribe --o|--output|--output-dir|--overwrite"
    "dirscribe --s|--save-project|--sizes|--sort|--strict|--style"
    "dirscribe a.txt s|sub"
    "dirscribe --sort n|name|name-case|natural|none"
    "dirscribe --style |Detailed\\ table|Plain\\ list|empty|my projects|notes.html|sub"
    "dirscribe --style P|Plain\\ list"
    "dirscribe --output-dir |empty|my projects|sub"
    "dirscribe -d |"
    "dirscribe --exclude-dir |"
    "dirscribe --ex|--exclude|--exclude-dir"
    "dirscribe --t|--thumbnails|--title"
    "dirscribe --style x ~/Music --output n|notes.html"
)

passed=0 failed=0
for row in "${rows[@]}"; do
    line=${row%%|*}
    expected=${row#*|}
    got=$(offered "$line")
    if [[ $got == "$expected" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL '$line': offered '$got', expected '$expected'"
    fi
done
echo "$passed passed, $failed failed"
((failed == 0))
