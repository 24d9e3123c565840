# shellcheck shell=bash
# Many workstations at once: the part of scripts/bench behind --workstations, --races and --cluster. Sourced by
# scripts/bench after scripts/lib/mariadb.sh.

# velkor_plant_bench ROOT BUILD_DIR OUT_DIR DEVICES WORKSTATIONS PACE SECONDS RACES CLUSTER FRESH KILL_NODE:
# starts (or reuses) the benchmark server of the number of devices, or the benchmark cluster when CLUSTER is 1,
# lets the workstations scan (or race when RACES > 0) and writes the figures to OUT_DIR/plant-*.json. FRESH 1
# throws the server's data away first. KILL_NODE > 0: that node of the cluster is killed during the run and
# started again, and the nodes are compared afterwards.
velkor_plant_bench() {
    local root=$1 build_dir=$2 out_dir=$3 devices=$4 workstations=$5 pace=$6 seconds=$7 races=$8 cluster=$9
    local fresh=${10} kill_node=${11:-0} label pace_ms
    pace_ms=$(awk -v s="$pace" 'BEGIN { printf "%d", s * 1000 }')
    if ((races > 0)); then
        label="races-$races"
    elif ((pace_ms > 0)); then
        label="ws$workstations-pace$pace"
    else
        label="ws$workstations-flat"
    fi
    local status=
    local -a environment=(
        QT_QPA_PLATFORM=offscreen VELKOR_INI_DIR="$root/demo/ini" VELKOR_UPDATE_HOST=''
        VELKOR_BENCH_DEVICES="$devices" VELKOR_PLANT_WORKSTATIONS="$workstations" VELKOR_PLANT_PACE_MS="$pace_ms"
        VELKOR_PLANT_SECONDS="$seconds" VELKOR_PLANT_RACES="$races"
    )
    if ((kill_node)); then
        environment+=(VELKOR_PLANT_KILL_NODE="$kill_node" VELKOR_CLUSTER_COMMAND="$root/scripts/cluster")
        label+="-kill$kill_node"
    fi
    # Global: the trap that stops the server runs after this function has returned.
    plant_server=
    if ((cluster)); then
        plant_server=${VELKOR_CLUSTER_DIR:-$root/.run/bench-cluster-$devices}
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
        # Every workstation holds two connections (the program's and the one that lays out its stock parts).
        velkor_db_sql "$plant_server" -e "SET GLOBAL max_connections = $((2 * workstations + 100))"
        label="$label-$devices"
    fi
    # Not in the cluster's folder, which the state transfers need open to all.
    local xdg="$root/.run/plant-xdg"
    mkdir -p "$xdg" && chmod 0700 "$xdg"
    echo "== $devices recorded devices, $label =="
    ((cluster)) && plant_node_counters before
    env "${environment[@]}" XDG_RUNTIME_DIR="$xdg" VELKOR_EVENT_LOG_SOCKET="$plant_server/eventlog.sock" \
        VELKOR_BENCH_OUT="$out_dir/plant-$label.json" \
        "$build_dir/velkor-plant-bench" --gtest_filter='PlantBench.*' --gtest_brief=1 || status=$?
    ((cluster)) && plant_node_counters after
    if ((kill_node)); then
        plant_nodes_agree || status=1
    fi
    return "${status:-0}"
}

# plant_nodes_agree: once every node has applied the last transaction, compares the checksums of the
# traceability tables on the three nodes (a rejoined node must hold every row).
plant_nodes_agree() {
    local n i tables="device, device_assembly, device_productcode, device_productioncode, device_serialnumber,
        device_productionordernumber" sums first=
    for ((i = 0; i < 120; i++)); do
        [[ $(for n in 1 2 3; do velkor_db_sql "$plant_server/node$n" -N -B \
            -e "SHOW STATUS LIKE 'wsrep_last_committed'" 2>/dev/null | cut -f2; done | sort -u | wc -l) == 1 ]] && break
        sleep 1
    done
    for n in 1 2 3; do
        sums=$(velkor_db_sql "$plant_server/node$n" -N -B -D "$VELKOR_DB_NAME" -e "CHECKSUM TABLE $tables" | cut -f2 |
            tr '\n' ' ')
        first=${first:-$sums}
        if [[ "$sums" != "$first" ]]; then
            echo "node $n holds other rows than node 1 (checksums $sums against $first)"
            return 1
        fi
    done
    echo "the three nodes hold the same rows (checksums of the six traceability tables: $first)"
}

# plant_node_counters before|after: the cluster's own count of refused commits (certification failures) and of
# local transactions aborted for a replicated one (brute-force aborts), summed over the nodes; "after" prints
# what the run added.
plant_node_counters() {
    local n sum=0 value
    for n in 1 2 3; do
        value=$(velkor_db_sql "$plant_server/node$n" -N -B -e "SELECT SUM(VARIABLE_VALUE) FROM \
            information_schema.GLOBAL_STATUS WHERE VARIABLE_NAME IN ('WSREP_LOCAL_CERT_FAILURES', 'WSREP_LOCAL_BF_ABORTS')")
        sum=$((sum + ${value:-0}))
    done
    if [[ "$1" == before ]]; then
        plant_counters_before=$sum
    else
        echo "certification failures and brute-force aborts counted by the nodes: $((sum - plant_counters_before))"
    fi
}
