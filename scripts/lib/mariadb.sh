# Functions to run a private MariaDB server in a folder of its own, with an ODBC data source
# TestLogNew pointing at it. Sourced by scripts/db and scripts/test.

VELKOR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VELKOR_DB_ACCOUNT=testlog
VELKOR_DB_PASSWORD=Pmex514
VELKOR_DB_NAME=testlog
# The schema a new database is built from (scripts/test builds a second server from db/site-schema.sql).
VELKOR_DB_SCHEMA=$VELKOR_ROOT/db/schema.sql

velkor_odbc_driver() {
    local driver
    for driver in /usr/lib/*/odbc/libmaodbc.so /usr/lib/odbc/libmaodbc.so /usr/lib64/libmaodbc.so; do
        if [[ -f "$driver" ]]; then
            echo "$driver"
            return 0
        fi
    done
    echo "MariaDB ODBC driver (libmaodbc.so) not found; run scripts/setup" >&2
    return 1
}

# velkor_db_running DIR: true when the server of DIR answers.
velkor_db_running() {
    local dir=$1
    [[ -S "$dir/mysqld.sock" ]] && mariadb-admin --no-defaults -S "$dir/mysqld.sock" -u root ping >/dev/null 2>&1
}

# velkor_db_sql DIR: runs SQL from standard input as root on the server of DIR.
velkor_db_sql() {
    local dir=$1
    shift
    mariadb --no-defaults -S "$dir/mysqld.sock" -u root "$@"
}

# velkor_db_load_schema DIR [DATA_FILE...]: (re)creates the database with the schema (VELKOR_DB_SCHEMA) and
# the given data.
velkor_db_load_schema() {
    local dir=$1
    shift
    velkor_db_sql "$dir" <<SQL
DROP DATABASE IF EXISTS $VELKOR_DB_NAME;
CREATE DATABASE $VELKOR_DB_NAME CHARACTER SET utf8mb4;
CREATE USER IF NOT EXISTS '$VELKOR_DB_ACCOUNT'@'localhost' IDENTIFIED BY '$VELKOR_DB_PASSWORD';
CREATE USER IF NOT EXISTS '$VELKOR_DB_ACCOUNT'@'127.0.0.1' IDENTIFIED BY '$VELKOR_DB_PASSWORD';
GRANT ALL PRIVILEGES ON $VELKOR_DB_NAME.* TO '$VELKOR_DB_ACCOUNT'@'localhost';
GRANT ALL PRIVILEGES ON $VELKOR_DB_NAME.* TO '$VELKOR_DB_ACCOUNT'@'127.0.0.1';
FLUSH PRIVILEGES;
SQL
    velkor_db_sql "$dir" --default-character-set=utf8mb4 "$VELKOR_DB_NAME" <"$VELKOR_DB_SCHEMA"
    local file
    for file in "$@"; do
        velkor_db_sql "$dir" --default-character-set=utf8mb4 "$VELKOR_DB_NAME" <"$file"
    done
}

# velkor_db_write_odbc DIR: writes DIR/odbc/odbcinst.ini and odbc.ini for the data source TestLogNew.
velkor_db_write_odbc() {
    local dir=$1 driver
    driver=$(velkor_odbc_driver)
    mkdir -p "$dir/odbc"
    cat >"$dir/odbc/odbcinst.ini" <<INI
[MariaDB Unicode]
Description=MariaDB Connector/ODBC (Unicode)
Driver=$driver
INI
    cat >"$dir/odbc/odbc.ini" <<INI
[TestLogNew]
Description=Velkor traceability database (private server)
Driver=$driver
SOCKET=$dir/mysqld.sock
DATABASE=$VELKOR_DB_NAME
CHARSET=utf8mb4
INI
}

# velkor_db_start DIR [DATA_FILE...]: starts the server of DIR; creates it with the schema and the
# given data files when DIR holds no server yet. Idempotent. VELKOR_DB_BUFFER_POOL sets the server's buffer pool
# (default 64M).
velkor_db_start() {
    local dir=$1
    shift
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    velkor_db_write_odbc "$dir"
    if velkor_db_running "$dir"; then
        return 0
    fi
    local fresh=0
    if [[ ! -d "$dir/data/mysql" ]]; then
        rm -rf "$dir/data"
        mariadb-install-db --no-defaults --user="$(id -un)" --datadir="$dir/data" \
            --auth-root-authentication-method=socket --skip-test-db >"$dir/install.log" 2>&1
        fresh=1
    fi
    mariadbd --no-defaults --user="$(id -un)" --datadir="$dir/data" --socket="$dir/mysqld.sock" \
        --pid-file="$dir/mysqld.pid" --log-error="$dir/mysqld.log" --skip-name-resolve --skip-networking \
        --innodb-buffer-pool-size="${VELKOR_DB_BUFFER_POOL:-64M}" --character-set-server=utf8mb4 >/dev/null 2>&1 &
    # The process id from the start: the server writes its pid file only once it is up, and a server
    # that never comes up must be stopped all the same.
    echo $! >"$dir/started.pid"
    local i
    for i in $(seq 1 100); do
        if velkor_db_running "$dir"; then
            break
        fi
        sleep 0.1
    done
    if ! velkor_db_running "$dir"; then
        echo "The database server did not start; see $dir/mysqld.log" >&2
        velkor_db_stop "$dir"
        return 1
    fi
    if ((fresh)); then
        velkor_db_load_schema "$dir" "$@"
    fi
}

# velkor_db_stop DIR: stops the server of DIR (by the process id recorded at its start and by its pid
# file) and waits until it is gone.
velkor_db_stop() {
    local dir=$1 pid i file
    local -a pids=()
    for file in "$dir/started.pid" "$dir/mysqld.pid"; do
        pid=$(cat "$file" 2>/dev/null || true)
        if [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null &&
            grep -q mariadbd "/proc/$pid/cmdline" 2>/dev/null; then
            pids+=("$pid")
        fi
    done
    rm -f "$dir/started.pid"
    ((${#pids[@]})) || return 0
    kill -TERM "${pids[@]}" 2>/dev/null || true
    for i in $(seq 1 100); do
        kill -0 "${pids[@]}" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "${pids[@]}" 2>/dev/null || true
}
