# Prints the RESULT lines of the benchmarks (bench/BenchResult.h) as one
# aligned table: group, figure, value, reference, its value and the ratio
# value / reference (below 1: faster than the reference).
BEGIN { FS = "\t" }
$1 == "RESULT" && NF >= 7 {
    n++
    group[n] = $2; figure[n] = $3
    value[n] = Number($4) " " $5
    reference[n] = $6
    refValue[n] = $7 == "-" ? "-" : Number($7) " " $5
    ratio[n] = ($7 != "-" && $7 + 0 > 0) ? sprintf("%.2f", $4 / $7) : "-"
    Widen(1, group[n]); Widen(2, figure[n]); Widen(3, value[n])
    Widen(4, reference[n]); Widen(5, refValue[n]); Widen(6, ratio[n])
}
function Number(text) { return sprintf(text + 0 >= 100 ? "%.1f" : "%.3g", text) }
function Widen(column, text) { if (length(text) > width[column]) width[column] = length(text) }
function Row(a, b, c, d, e, f) {
    printf "%-" width[1] "s  %-" width[2] "s  %" width[3] "s  %-" width[4] "s  %" width[5] "s  %" width[6] "s\n",
        a, b, c, d, e, f
}
END {
    if (n == 0) { print "no benchmark results"; exit 1 }
    split("group figure value reference ref.value ratio", head, " ")
    for (i = 1; i <= 6; i++) Widen(i, head[i])
    Row(head[1], head[2], head[3], head[4], head[5], head[6])
    for (i = 1; i <= n; i++) Row(group[i], figure[i], value[i], reference[i], refValue[i], ratio[i])
}
