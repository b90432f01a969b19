#!/usr/bin/env bash
# The settings that change the module's resources, remembered from one `make` to the next.
#   scripts/settings.sh BUILD_DIR TOOL [NAME=VALUE ...]
# Takes the variables given to make on its command line (the Makefile keeps its own back; a name
# within two edits of a setting's is refused as a likely slip, others are left alone), lays them
# over the ones remembered in BUILD_DIR/settings.txt (NAME= restores the default), checks them, the
# packers' options through TOOL (vykcn-tool check-options: the very parser the packers use), and
# writes BUILD_DIR/settings.txt and BUILD_DIR/settings.cmake, the initial cache with which `make`
# and `make test` configure the Windows build alike. `make clean` removes BUILD_DIR: every setting
# is back to its default. A bad value is refused in one line and nothing is remembered.
set -euo pipefail

# One setting a line; a packer option added later is one more line.
#   kind     folder, file: a path; a relative one is taken from the project root
#            files: paths separated by ':' (a path may hold spaces), each after its own option; "none": no file
#            value: passed as it is; words: each word after its own option; flag: 1 passes it, 0 not
#   default  "-": none; "tool": the tool's own (vykcn-tool default-fonts: the fonts check measures with)
#   goes to  a CMake variable of its own, or a group and the option:
#            text          pack-text and pack-font (which translations are packed, which warnings count)
#            glyphs        pack-font (which characters get glyphs, from which face)
#            layout        the shipping module's pack-font (how its atlas is laid out)
#            translations  pack-text (how its texts are compressed and laid out; the lines are measured with
#                          the shipping glyph table)
#            each group's options are checked by the command named in `checked_by` below
table='
TRANSLATIONS        folder  resources/translations                          VYKCN_TRANSLATIONS
FONT                file    tool                                            VYKCN_FONT
FACE                value   -                                               glyphs --face
GLYPH_HEIGHT        value   -                                               layout --glyph-height
ATLAS_SIZE          value   -                                               layout --atlas-size
LATER_WINS          flag    0                                               text --later-wins
ACCEPT_SHARED_HASH  words   -                                               text --accept-shared-hash
HOST_TEXTS          file    -                                               text --host-texts
EXTRA_CHARS         file    -                                               glyphs --extra-chars
FALLBACK_FONTS      files   tool                                            glyphs --fallback-font
DISABLE             words   -                                               text --disable
ERRORS              words   -                                               text --error
STRICT              flag    0                                               text --strict
RELEASE             flag    0                                               translations --best
WRAP                value   -                                               translations --wrap
MAX_WIDTH           value   -                                               translations --max-width
MAX_LINES           value   -                                               translations --max-lines
HOST_HEIGHT         value   -                                               translations --host-height
'

build=${1:?usage: settings.sh BUILD_DIR TOOL [NAME=VALUE ...]}
tool=${2:?usage: settings.sh BUILD_DIR TOOL [NAME=VALUE ...]}
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
remembered=$build/settings.txt
declare -A checked_by=([text]=pack-text [glyphs]=pack-font [layout]=pack-font [translations]=pack-text)

fail() {
  echo "settings: $*" >&2
  exit 1
}
[[ -x "$tool" ]] || fail "no vykcn-tool at $tool to check the settings with"

# The edits (insertions, deletions, substitutions) that turn one name into the other, in any case.
edits() {  # edits A B
  local a=${1^^} b=${2^^} i j cost best
  local -a previous row
  for ((j = 0; j <= ${#b}; j++)); do previous[j]=$j; done
  for ((i = 1; i <= ${#a}; i++)); do
    row=("$i")
    for ((j = 1; j <= ${#b}; j++)); do
      cost=1
      [[ "${a:i-1:1}" != "${b:j-1:1}" ]] || cost=0
      best=$((previous[j - 1] + cost))
      if ((previous[j] + 1 < best)); then best=$((previous[j] + 1)); fi
      if ((row[j - 1] + 1 < best)); then best=$((row[j - 1] + 1)); fi
      row[j]=$best
    done
    previous=("${row[@]}")
  done
  echo "${previous[${#b}]}"
}

# The tool's default fonts, main first: FONT's default, then FALLBACK_FONTS' (none: "none").
tool_fonts=$("$tool" default-fonts) || fail "$tool default-fonts failed"
tool_font=${tool_fonts%%$'\n'*}
tool_fallbacks=none
[[ "$tool_fonts" != *$'\n'* ]] || tool_fallbacks=$(tr '\n' ':' <<<"${tool_fonts#*$'\n'}" | sed 's/:$//')

names=()
declare -A kind default target option value source
while read -r name k d t o; do
  [[ -n "$name" ]] || continue
  names+=("$name")
  kind[$name]=$k
  if [[ "$d" == tool ]]; then
    d=$tool_font
    [[ "$k" != files ]] || d=$tool_fallbacks
  fi
  default[$name]=$([[ "$d" == "-" ]] || echo "$d")
  target[$name]=$t
  option[$name]=${o:-}
  value[$name]=${default[$name]}
  source[$name]=default
done <<<"$table"

# A path as it is remembered: absolute, taken from the project root when relative; each of a list.
resolve() {  # resolve NAME VALUE
  if [[ "${kind[$1]}" == files && -n "$2" && "$2" != none ]]; then
    local part parts list=() IFS=":"
    read -ra parts <<<"$2"
    for part in "${parts[@]}"; do [[ -z "$part" ]] || list+=("$(cd "$root" && realpath -ms -- "$part")"); done
    printf '%s' "${list[*]}"
  elif [[ -z "$2" || ( "${kind[$1]}" != folder && "${kind[$1]}" != file ) ]]; then
    printf '%s' "$2"
  else
    (cd "$root" && realpath -ms -- "$2")
  fi
}

if [[ -f "$remembered" ]]; then
  while IFS= read -r line; do
    [[ "$line" == [A-Z]*=* ]] || continue
    name=${line%%=*}
    [[ "$name" =~ ^[A-Z_]+$ && -v "kind[$name]" ]] || continue
    value[$name]=${line#*=}
    source[$name]=remembered
  done <"$remembered"
fi

for argument in "$@"; do
  name=${argument%%=*}
  if ! [[ "$name" =~ ^[A-Z_]+$ && -v "kind[$name]" ]]; then
    for known in "${names[@]}"; do
      [[ $(edits "$name" "$known") -gt 2 ]] || fail "$name: no such setting; did you mean $known?"
    done
    continue
  fi
  given=${argument#*=}
  [[ "$given" != *$'\n'* ]] || fail "$name: give the value on one line"
  value[$name]=${given:-${default[$name]}}
  source[$name]=given
done

# Where a refused value came from, when make was not given it this time.
from() {  # from NAME
  [[ "${source[$1]}" != remembered ]] || echo " (remembered in $remembered; $1= restores the default)"
}

for name in "${names[@]}"; do
  v=$(resolve "$name" "${value[$name]}")
  value[$name]=$v
  [[ -n "$v" ]] || continue
  where=$(from "$name")
  # CMake takes ';' for a list separator: no value may hold one.
  [[ "$v" != *';'* ]] || fail "$name: '$v' holds a ';', which the build cannot pass on$where"
  case ${kind[$name]} in
    folder)
      [[ -d "$v" ]] || fail "$name: no folder $v$where"
      # The files the build packs, as the tool takes the folder.
      refused=$("$tool" files "$v" 2>&1 >/dev/null) || fail "$name: ${refused#vykcn-tool: }$where"
      ;;
    file) [[ -f "$v" ]] || fail "$name: no file $v$where" ;;
    files)
      [[ "$v" == none ]] || while IFS= read -r -d ':' part; do
        [[ -f "$part" ]] || fail "$name: no file $part$where"
      done <<<"$v:"
      ;;
    flag) [[ "$v" == 0 || "$v" == 1 ]] || fail "$name: 1 or 0, not '$v'$where" ;;
  esac
done

# CMake's quoted argument: backslashes, quotes and dollars escaped.
cmake_string() {
  local s=$1
  s=${s//\\/\\\\}
  s=${s//\"/\\\"}
  s=${s//\$/\\\$}
  printf '"%s"' "$s"
}
cmake_list() {
  local IFS=';'
  cmake_string "$*"
}

text=() glyphs=() layout=() translations=() inputs=() variables=() differing=() from_memory=()
for name in "${names[@]}"; do
  v=${value[$name]}
  if [[ "$v" != "$(resolve "$name" "${default[$name]}")" ]]; then
    differing+=("$name=$v")
    [[ "${source[$name]}" != remembered ]] || from_memory+=("$name=$v")
  fi
  arguments=()
  case ${kind[$name]} in
    flag) [[ "$v" != 1 ]] || arguments=("${option[$name]}") ;;
    words)
      read -ra words <<<"$v"
      for word in ${words[@]+"${words[@]}"}; do arguments+=("${option[$name]}" "$word"); done
      ;;
    files)
      # Each file is also an input of the packers, as a file an option names is.
      [[ "$v" == none || -z "$v" ]] || while IFS= read -r -d ':' part; do
        arguments+=("${option[$name]}" "$part")
        inputs+=("$part")
      done <<<"$v:"
      ;;
    *)
      [[ -z "$v" ]] || arguments=("${option[$name]}" "$v")
      ;;
  esac
  if [[ ${#arguments[@]} -gt 0 && -v "checked_by[${target[$name]}]" ]] &&
    ! refused=$("$tool" check-options "${checked_by[${target[$name]}]}" "${arguments[@]}" 2>&1 >/dev/null); then
    refused=${refused%%$'\n'*}
    fail "$name=$v: ${refused#vykcn-tool: }$(from "$name")"
  fi
  # A file that an option names is an input of the packers, as the translators' files are.
  [[ "${kind[$name]}" != file || "${target[$name]}" == VYKCN_* || -z "$v" ]] || inputs+=("$v")
  case ${target[$name]} in
    VYKCN_*)
      type=STRING
      [[ "${kind[$name]}" != folder ]] || type=PATH
      [[ "${kind[$name]}" != file ]] || type=FILEPATH
      variables+=("set(${target[$name]} $(cmake_string "$v") CACHE $type \"\" FORCE)")
      ;;
    text) text+=("${arguments[@]}") ;;
    glyphs) glyphs+=("${arguments[@]}") ;;
    layout) layout+=("${arguments[@]}") ;;
    translations) translations+=("${arguments[@]}") ;;
    *) fail "${target[$name]}: no such group (scripts/settings.sh)" ;;
  esac
done

mkdir -p "$build"
{
  echo "# The settings of the module's resources that differ from their defaults (scripts/settings.sh)."
  echo "# Each stays until it is given again; NAME= on make's command line restores its default."
  for setting in ${differing[@]+"${differing[@]}"}; do echo "$setting"; done
} >"$remembered.new"
mv "$remembered.new" "$remembered"
{
  echo "# Written by scripts/settings.sh from $remembered: the Windows build's initial cache."
  for line in ${variables[@]+"${variables[@]}"}; do echo "$line"; done
  echo "set(VYKCN_TEXT_OPTIONS $(cmake_list ${text[@]+"${text[@]}"}) CACHE STRING \"\" FORCE)"
  echo "set(VYKCN_GLYPH_OPTIONS $(cmake_list ${glyphs[@]+"${glyphs[@]}"}) CACHE STRING \"\" FORCE)"
  echo "set(VYKCN_LAYOUT_OPTIONS $(cmake_list ${layout[@]+"${layout[@]}"}) CACHE STRING \"\" FORCE)"
  echo "set(VYKCN_TRANSLATION_OPTIONS $(cmake_list ${translations[@]+"${translations[@]}"}) CACHE STRING \"\" FORCE)"
  echo "set(VYKCN_PACK_INPUTS $(cmake_list ${inputs[@]+"${inputs[@]}"}) CACHE STRING \"\" FORCE)"
} >"$build/settings.cmake"

if [[ ${#from_memory[@]} -gt 0 ]]; then
  listed=$(printf ', %s' "${from_memory[@]}")
  echo "settings remembered in $remembered: ${listed:2} (NAME= restores a default)"
fi
