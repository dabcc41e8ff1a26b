#!/usr/bin/env bash
# Fails when a source file includes a header of a layer it may not know
# (docs/architecture.md gives the layers and the reasons). Reads the
# '#include "..."' lines of the libraries, the examples and the tools; tests,
# benchmarks and fuzz targets may reach everything they exercise.
#   scripts/checkincludes.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

dirs=
for dir in base valueframework devicecontrol contract network commandline fusion station simulation examples tools; do
    [ ! -d "$dir" ] || dirs="$dirs $dir"
done

# shellcheck disable=SC2086
find $dirs \( -name '*.h' -o -name '*.cpp' \) -exec grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' {} + |
awk '
# The layer of a path from the repository root; empty for paths of no layer.
function layer(path, parts) {
    if (path ~ /^(base|valueframework|devicecontrol\/stddevicedefinition)\//) return "host"
    if (path ~ /^devicecontrol\/directionfinder\/kvtcommon\//) return "dflib"
    if (path ~ /^devicecontrol\/directionfinder\/zodclient\//) return "zod"
    if (path ~ /^contract\//) return "contract"
    if (path ~ /^network\//) return "network"
    if (path ~ /^commandline\//) return "commandline"
    if (path ~ /^fusion\//) return "fusion"
    if (path ~ /^station\//) return "station"
    if (path ~ /^simulation\//) return "simulation"
    if (path ~ /^examples\//) return "example"
    if (path ~ /^tools\/[^\/]+\//) { split(path, parts, "/"); return "tool:" parts[2] }
    return ""
}
# Why the layer "from" may not include the layer "to"; empty when it may.
function forbidden(from, to,   above) {
    if (to ~ /^tool:/ && from != to) return "a tool links libraries, never a tool; no library knows a tool"
    if (to == "example" && from != "example") return "an example is a host of its own; nothing links it"
    above = "^(dflib|zod|contract|network|commandline|fusion|station|simulation)$"
    if (from == "host" && to ~ above) return "the host knows nothing of the DF library or what is built on it"
    if (from == "contract" && to != "contract")
        return "the contract is the record and the wire formats that every layer shares: QtCore only"
    if (from == "network" && to ~ /^(dflib|zod)$/) return "the network layer knows no DF class"
    if (from == "network" && to == "fusion") return "carrying bytes needs no fixes"
    if (from == "network" && to ~ /^(station|simulation)$/) return "the network layer carries a station'"'"'s bytes, it runs none"
    if (from == "commandline" && to ~ /^(dflib|zod|fusion|station|simulation)$/)
        return "a command line reads options and logs in; it runs no device, fix or station"
    if (to == "commandline" && from ~ /^(network|fusion|dflib|zod|station)$/)
        return "only programs and the simulated station read command lines"
    if (from == "fusion" && to ~ /^(dflib|zod)$/) return "fixes need bearings, not device control"
    if (from == "fusion" && to == "network") return "fusion is pure computation"
    if (from == "fusion" && to ~ /^(station|simulation)$/) return "fixes need bearings, not a station"
    if (from == "dflib" && to ~ /^(network|zod)$/) return "the DF library stays off the network (it loads the ZOD client as a module)"
    if (from == "dflib" && to ~ /^(fusion|station|simulation)$/) return "the DF library lies below everything built on it"
    if (from == "zod" && to ~ /^(fusion|station|simulation)$/) return "the ZOD client module runs in any host, not in a station"
    if (from == "station" && to == "simulation") return "the station runtime serves any driver, not only the simulated one"
    if (from == "station" && to == "fusion") return "a station hands its bearings on; fixes are made from them elsewhere"
    return ""
}
{
    # file:line:#include "path"
    split($0, field, ":")
    include = $0
    sub(/^[^"]*"/, "", include)
    sub(/".*$/, "", include)
    from = layer(field[1])
    to = layer(include)
    if (from == "" || to == "") next
    why = forbidden(from, to)
    if (why != "") {
        printf "%s:%s: %s may not include %s (%s)\n", field[1], field[2], from, include, why > "/dev/stderr"
        failed = 1
    }
}
END { exit failed }
'
