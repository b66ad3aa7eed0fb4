#!/bin/sh
# Runs each circuit with the qvs tool and with ngspice, RUNS times each in
# alternation (qvs, ngspice, qvs, ngspice, ...) after one warm-up of each,
# checks that both agree on the quantities stated per circuit, and prints
# per circuit: the median whole-process wall time of each, the median of
# the pairwise speed-ups (ngspice time / qvs time, so > 1 means qvs is
# faster), qvs's engine steps and switching events.
#
#   bench/compare/run.sh QVS_BINARY [RUNS] [WORK_DIR]
#
# Exit status 1 when a run fails or a quantity disagrees beyond its
# tolerance; the timings are printed either way. Pairing the runs makes the
# ratio robust against the machine's speed drifting during the call (shared
# machines are noisy: quote ratios and medians, not single times).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
qvs=${1:?usage: run.sh QVS_BINARY [RUNS] [WORK_DIR]}
runs=${2:-5}
work=${3:-${TMPDIR:-/tmp}/qvs-bench-compare}
mkdir -p "$work"
command -v ngspice >/dev/null 2>&1 || {
  echo "ngspice not found: run tools/deps.sh compare" >&2
  exit 1
}
status=0

# Wall-clock nanoseconds.
now() { date +%s%N; }

# Median of the numbers on standard input.
median() {
  sort -g | awk '{ a[NR] = $1 } END {
    if (NR == 0) print "nan"; else if (NR % 2) print a[(NR + 1) / 2];
    else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }'
}

# A number the qvs table prints, engineering suffix and all ("17.346n").
# Prints nothing when TRACE has no row.  qvs_value FILE TRACE COLUMN, the
# column being final, min, max, mean, rms or pp (max - min).
qvs_value() {
  awk -v t="$2" -v c="$3" '
    function num(s,   u, m) {
      u = substr(s, length(s), 1); m = 1
      if (u == "f") m = 1e-15; else if (u == "p") m = 1e-12
      else if (u == "n") m = 1e-9; else if (u == "u") m = 1e-6
      else if (u == "m") m = 1e-3; else if (u == "k") m = 1e3
      else if (u == "M" || u == "Meg") m = 1e6; else if (u == "G") m = 1e9
      if (m != 1) s = substr(s, 1, length(s) - 1)
      return s * m
    }
    $1 == t && NF >= 6 {
      if (c == "final") v = num($2); else if (c == "min") v = num($3)
      else if (c == "max") v = num($4); else if (c == "mean") v = num($5)
      else if (c == "rms") v = num($6); else if (c == "pp") v = num($4) - num($3)
      printf "%.9g\n", v; exit
    }' "$1"
}

# The value of a .meas result in ngspice's batch output.  spice_value FILE NAME
spice_value() {
  awk -v n="$2" '$1 == n && $2 == "=" { printf "%.9g\n", $3; exit }' "$1"
}

# The qvs run figures: "engine steps: A accepted, R rejected" and
# "switching events: S".
qvs_steps() { awk '/^engine steps:/ { print $3; exit }' "$1"; }
qvs_events() { awk '/^switching events:/ { print $3; exit }' "$1"; }

printf '%-16s %5s %10s %10s %9s %8s %8s  %s\n' circuit runs "qvs s" "ngspice s" speed-up steps events agreement
report_line() {
  printf '%-16s %5s %10s %10s %9s %8s %8s  %s\n' "$@"
}

# bench NAME QVS_DOC "QVS_ARGS" SPICE_NETLIST CHECK...
# Each CHECK is "TRACE COLUMN MEAS REL_TOL ABS_TOL": the qvs table value of
# TRACE/COLUMN and the ngspice measurement MEAS agree when they differ by
# at most REL_TOL times the larger magnitude or by at most ABS_TOL.
bench() {
  name=$1 doc=$2 qargs=$3 cir=$4
  shift 4
  qout=$work/$name.qvs.out sout=$work/$name.spice.out
  : >"$work/$name.qt"
  : >"$work/$name.st"
  : >"$work/$name.ratio"
  i=-1
  while [ $i -lt "$runs" ]; do
    q=0 s=0
    t0=$(now)
    # shellcheck disable=SC2086 # qargs are words on purpose
    "$qvs" run "$doc" $qargs >"$qout" 2>&1 || q=$?
    t1=$(now)
    ngspice -b "$cir" >"$sout" 2>&1 || s=$?
    t2=$(now)
    if [ "$q" -ne 0 ] || [ "$s" -ne 0 ] || grep -q "run simulation(s) aborted" "$sout"; then
      echo "$name: a run failed; see $qout and $sout" >&2
      status=1
      return 0
    fi
    # Run -1 is the warm-up, not counted; except that a run of over 10 s
    # is counted alone: repeating it would tell little for the minutes.
    long=$(( t1 - t0 > 10000000000 || t2 - t1 > 10000000000 ))
    if [ $i -ge 0 ] || [ $long -eq 1 ]; then
      echo $((t1 - t0)) >>"$work/$name.qt"
      echo $((t2 - t1)) >>"$work/$name.st"
      awk -v a=$((t1 - t0)) -v b=$((t2 - t1)) 'BEGIN { print b / a }' >>"$work/$name.ratio"
    fi
    [ $long -eq 1 ] && break
    i=$((i + 1))
  done
  qt=$(median <"$work/$name.qt" | awk '{ printf "%.3f", $1 / 1e9 }')
  st=$(median <"$work/$name.st" | awk '{ printf "%.3f", $1 / 1e9 }')
  ratio=$(median <"$work/$name.ratio" | awk '{ printf "%.2f", $1 }')
  agree=ok
  for check in "$@"; do
    # shellcheck disable=SC2086
    set -- $check
    a=$(qvs_value "$qout" "$1" "$2")
    b=$(spice_value "$sout" "$3")
    verdict=$(awk -v a="${a:-nan}" -v b="${b:-nan}" -v r="$4" -v t="$5" 'BEGIN {
      if (a == "nan" || b == "nan") { print "missing"; exit }
      d = a - b; if (d < 0) d = -d
      m = (a < 0 ? -a : a); n = (b < 0 ? -b : b); if (n > m) m = n
      print (d <= r * m || d <= t) ? "ok" : "DIFFER" }')
    echo "  $name $1 $2: qvs ${a:-?}, ngspice ${b:-?} (tolerance $4 relative or $5 absolute): $verdict" >>"$work/checks.txt"
    if [ "$verdict" != ok ]; then agree="$1.$2 $verdict"; status=1; fi
  done
  report_line "$name" "$(wc -l <"$work/$name.qt" | tr -d ' ')" "$qt" "$st" "$ratio" "$(qvs_steps "$qout")" "$(qvs_events "$qout")" "$agree"
}

# An RC ladder of N sections as a qvs document and an ngspice netlist: a
# 1 V source, then N times 1 kOhm in series and 1 uF to ground, every
# capacitor starting at 0 V, 5 ms with a 1 us step.
ladder() {
  n=$1
  awk -v n="$n" 'BEGIN {
    print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    print "<QVS>"
    print "  <Version ver=\"3\" rev=\"12\" core=\"59\" build=\"23\" date=\"04/24/2024\" />"
    print "  <Doc>"
    print "    <Properties save=\"0\" />"
    print "    <Cir>"
    print "      <Cmps>"
    print "        <Cmp type=\"V_V\" id=\"1\" name=\"V1\" view=\"0\" node0=\"0\" node1=\"1\" model=\"V\" v_str=\"1\" v=\"1\" />"
    id = 2
    for (i = 1; i <= n; i++) {
      printf "        <Cmp type=\"R_R\" id=\"%d\" name=\"R%d\" view=\"0\" node0=\"%d\" node1=\"%d\" model=\"R\" r_str=\"1k\" r=\"1000\" />\n", id++, i, i, i + 1
      printf "        <Cmp type=\"C_C\" id=\"%d\" name=\"C%d\" view=\"0\" node0=\"0\" node1=\"%d\" model=\"C\" c_str=\"1u\" c=\"1e-06\" ic_str=\"0\" ic=\"0\" />\n", id++, i, i + 1
    }
    print "      </Cmps>"
    print "    </Cir>"
    print "    <Tran>"
    print "      <Traces>"
    print "        <Trace id=\"3\" name=\"V1c\" expr=\"V(C1)\" type=\"V\" />"
    print "      </Traces>"
    print "      <Settings start=\"0\" screen=\"0.005\" step=\"1e-06\" />"
    print "    </Tran>"
    print "  </Doc>"
    print "</QVS>"
  }' >"$work/ladder$n.qvs"
  awk -v n="$n" 'BEGIN {
    printf "* RC ladder of %d sections: 1 V, then 1 kOhm in series and 1 uF to ground\n", n
    print "V1 1 0 DC 1"
    for (i = 1; i <= n; i++) {
      printf "R%d %d %d 1k\n", i, i, i + 1
      printf "C%d %d 0 1u IC=0\n", i, i + 1
    }
    print ".tran 1u 5m 0 1u uic"
    print ".meas tran final FIND v(2) AT=5m"
    print ".meas tran mean AVG v(2) from=0 to=5m"
    print ".end"
  }' >"$work/ladder$n.cir"
}

: >"$work/checks.txt"

# Converters: mean output and its peak-to-peak ripple over the last 2 ms of
# 10 ms (the table prints 5 digits, so the output ripple is read to 1 mV
# only: hence its loose tolerance), and the inductor current's mean and
# peak-to-peak ripple, read to 0.1 mA. Our switch and diode are ideal, ngspice's are not quite (see the
# netlists): the mean may differ by the diode's residual drop, some 0.2 %.
bench buck "$here/../../examples/buck.qvs" "--time 10m --from 8m --trace Vout --trace IL" "$here/buck.cir" \
  "Vout mean mean 0.01 0" "Vout pp ripple 0.25 0.002" "IL mean ilmean 0.01 0" "IL pp ilpp 0.05 0"
bench boost "$here/../../examples/boost.qvs" "--time 10m --from 8m --trace Vout --trace IL" "$here/boost.cir" \
  "Vout mean mean 0.01 0" "Vout pp ripple 0.25 0.002" "IL mean ilmean 0.01 0" "IL pp ilpp 0.05 0"
# Rectifiers: mean and ripple over 60 ms .. 100 ms; ngspice's diodes add
# about 30 mV each to the 0.7 V (two conduct in series at any time).
bench bridge "$here/../../examples/bridge.qvs" "--time 100m --from 60m --trace Vout" "$here/bridge.cir" \
  "Vout mean mean 0.015 0" "Vout pp ripple 0.2 0.01"
bench threephase "$here/threephase.qvs" "--time 100m --from 60m --trace Vout" "$here/threephase.cir" \
  "Vout mean mean 0.015 0" "Vout pp ripple 0.2 0.01"
# Ladders: the first capacitor's voltage, at the end and averaged over the
# run; both simulators integrate with the trapezoidal rule at 1 us.
for n in 10 100 500; do
  ladder "$n"
  bench "rc-ladder-$n" "$work/ladder$n.qvs" "--trace V1c" "$work/ladder$n.cir" \
    "V1c final final 0.002 1e-6" "V1c mean mean 0.002 1e-6"
done

echo
echo "quantities compared:"
cat "$work/checks.txt"
exit $status
