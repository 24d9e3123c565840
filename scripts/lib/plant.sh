# Many workstations at once: the part of scripts/bench behind --workstations, --races and --cluster. Sourced by
# scripts/bench after it has read its options (root, build_dir, out_dir, counts, workstations, pace, seconds,
# races, cluster, fresh).

# velkor_plant_bench: starts (or reuses) the server or cluster of the number of devices, lets the workstations
# scan and writes the figures to build/bench/plant-*.json.
velkor_plant_bench() {
    local devices=${counts[0]} label pace_ms
    pace_ms=$(awk -v s="$pace" 'BEGIN { printf "%d", s * 1000 }')
    if ((races > 0)); then
        label="races-$races"
    elif ((pace_ms > 0)); then
        label="ws$workstations-pace$pace"
    else
        label="ws$workstations-flat"
    fi
    local -a environment=(
        QT_QPA_PLATFORM=offscreen VELKOR_INI_DIR="$root/demo/ini" VELKOR_UPDATE_HOST=''
        VELKOR_BENCH_DEVICES="$devices" VELKOR_PLANT_WORKSTATIONS="$workstations" VELKOR_PLANT_PACE_MS="$pace_ms"
        VELKOR_PLANT_SECONDS="$seconds" VELKOR_PLANT_RACES="$races"
    )
    # Global: the trap that stops the server runs after this function has returned.
    plant_server=
    if ((cluster)); then
        plant_server=${VELKOR_CLUSTER_DIR:-$root/.run/bench-cluster}
        export VELKOR_CLUSTER_DIR=$plant_server VELKOR_CLUSTER_PORT_BASE=${VELKOR_CLUSTER_PORT_BASE:-24400}
        if ((fresh)); then
            "$root/scripts/cluster" stop
            rm -rf "$plant_server"
        fi
        trap '"$root/scripts/cluster" stop' EXIT
        "$root/scripts/cluster" start
        # shellcheck disable=SC1091
        . "$plant_server/env"
        label="cluster-$label-$devices"
    else
        plant_server="$root/.run/bench-$devices"
        if ((fresh)); then
            velkor_db_stop "$plant_server"
            rm -rf "$plant_server"
        fi
        trap 'velkor_db_stop "$plant_server"' EXIT
        local pool=64M
        ((devices <= 1000000)) || pool=1G
        VELKOR_DB_BUFFER_POOL=$pool velkor_db_start "$plant_server" "$root/demo/demo_data.sql"
        environment+=(ODBCSYSINI="$plant_server/odbc")
        label="$label-$devices"
    fi
    mkdir -p -m 0700 "$plant_server/xdg"
    echo "== $devices recorded devices, $label =="
    env "${environment[@]}" XDG_RUNTIME_DIR="$plant_server/xdg" VELKOR_EVENT_LOG_SOCKET="$plant_server/eventlog.sock" \
        VELKOR_BENCH_OUT="$out_dir/plant-$label.json" \
        "$build_dir/velkor-plant-bench" --gtest_filter='PlantBench.*' --gtest_brief=1
}
