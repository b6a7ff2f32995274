#!/usr/bin/env bash
# climate-cli's bash completion as bash offers it: the commands, then each command's own options
# and no other command's, and the values of the options that have a fixed set.
# Usage: completion_test.sh COMPLETION_FILE
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1"

failures=0
offers() {
    local line=$1 expected=$2
    COMP_LINE=$line
    COMP_POINT=${#line}
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _climate_cli climate-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got="${COMPREPLY[*]}"
    if [[ $got != "$expected" ]]; then
        echo "'$line': offered '$got', expected '$expected'"
        failures=$((failures + 1))
    fi
}

offers "climate-cli ve" "verify"
offers "climate-cli f" "find firmware"
offers "climate-cli live --f" "--format"
offers "climate-cli live --format " "csv json"
offers "climate-cli live --port /dev/null --c" "--count"
offers "climate-cli write x.json --c" ""
offers "climate-cli find --l" "--last"
offers "climate-cli read --o" "--output"
offers "climate-cli firmware --j" "--json"
offers "climate-cli --port tcp://h verify --r" "--record"
offers "climate-cli verify x.json --p" "--port --partial"
offers "climate-cli verify x.json --i" "--ignore-firmware"
offers "climate-cli write x.json --i" "--ignore-firmware"
offers "climate-cli write x.json --pa" ""
offers "climate-cli firmware --baud 5" ""
offers "climate-cli firmware --baud 1" "19200 115200"
exit $((failures > 0))
