# Sourced by the benchmark scripts; needs $out, the folder the runs work in.

# Median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One run of a shell command in $out: prints wall seconds (the shell's clock:
# /usr/bin/time counts only hundredths), CPU seconds (user + system) and peak
# resident KiB. `sync` first, outside the time: each run starts with the disk
# at rest, as a user's run does.
timed() {
    sync
    local start=$EPOCHREALTIME
    (cd "$out" && /usr/bin/time -f '%U %S %M' -o time.txt sh -c "$1" > /dev/null 2>&1) || true
    local end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" -v t="$(tail -n 1 "$out/time.txt")" 'BEGIN {
        split(t, f, " "); print b - a, f[1] + f[2], f[3] }'
}
