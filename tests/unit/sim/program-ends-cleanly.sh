#!/bin/sh
# vyx-sim as a program: a bad option ends it with a message and status 2; a
# normal run prints its port, publishes it, and removes it again on SIGTERM.
set -u
sim=$1
folder=$(mktemp -d) || exit 1
trap 'rm -rf "$folder"' EXIT

message=$("$sim" --chunk 0 2>&1)
status=$?
[ "$status" -eq 2 ] || { echo "bad option: status $status"; exit 1; }
case $message in *"--chunk"*) ;; *) echo "bad option: message '$message'"; exit 1 ;; esac

"$sim" --port-folder "$folder" --name ends-test --quiet >"$folder/out" 2>&1 &
pid=$!
tries=0
until grep -q "port $folder/ends-test -> /dev/pts/" "$folder/out"; do
    tries=$((tries + 1))
    [ "$tries" -lt 200 ] || { echo "no port printed"; cat "$folder/out"; kill "$pid"; exit 1; }
    sleep 0.05
done
[ -L "$folder/ends-test" ] || { echo "no port published"; kill "$pid"; exit 1; }
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { echo "SIGTERM: status $status"; exit 1; }
[ ! -e "$folder/ends-test" ] && [ ! -L "$folder/ends-test" ] || { echo "port left behind"; exit 1; }
