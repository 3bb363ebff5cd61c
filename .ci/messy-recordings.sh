#!/usr/bin/env bash
# .ci/messy-recordings.sh FOLDER: writes recorder files with the untidy parts real ones have
# (CR LF line ends, repeated, missing and earlier times, long gaps, days past a month's end,
# unusual number forms, lines without humidity, an invalid line, no final line end), the same
# on every run. For comparing builds of trendora-series byte for byte.
set -euo pipefail
out=$1
mkdir -p "$out"

# gen SEED LINES CR BAD: one file on stdout; CR=1 ends lines with CR LF; BAD>0 spoils that line.
gen() {
  awk -v seed="$1" -v n="$2" -v cr="$3" -v bad="$4" 'BEGIN {
    srand(seed)
    eol = cr ? "\r\n" : "\n"
    printf "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV%s", eol
    t = 0
    split("30 31 30 31 31 30 31 30 31", mdays, " ") # April to December
    split("21.5|0x1p3|1e2|-3|+.5|7.|2.5e-3|0X.8P1|1e|inf", forms, "|")
    for (i = 1; i <= n; i++) {
      r = int(rand() * 1000)
      if (r < 800) t += 1
      else if (r < 880) t += 0
      else if (r < 920) t -= int(rand() * 30)
      else if (r < 995) t += int(rand() * 60)
      else t += int(rand() * 3000)
      if (t < 0) t = 0
      day = 29 + int(t / 86400); s = t % 86400; mo = 1
      while (day > mdays[mo]) { day -= mdays[mo]; mo++ }
      # The 1st of May also as the 31st of April, which reads as the same day.
      if (mo == 2 && day == 1 && rand() < 0.3) { mo = 1; day = 31 }
      line = sprintf("2026/%02d/%02d,%02d:%02d:%02d", mo + 3, day, int(s / 3600), int(s / 60) % 60, s % 60)
      if (rand() < 0.03)
        line = line sprintf(",%s,%.1f", forms[1 + int(rand() * 10)], rand() * 50)
      else
        line = line sprintf(",%.2f,%.1f,%.2f,%.1f", rand() * 80 - 20, rand() * 50, rand() * 100, rand() * 90)
      if (i == bad) line = sprintf("2026/%02d/%02d,25:00:00,1,2,3,4", mo + 3, day)
      printf "%s%s", line, (i == n && seed % 2 ? "" : eol)
    }
  }'
}

gen 1 30000 1 0 > "$out/messy-crlf.csv"
gen 2 30000 0 0 > "$out/messy-lf.csv"
gen 3 20000 0 12345 > "$out/messy-invalid.csv"
gen 5 4000 1 3000 > "$out/messy-invalid-crlf.csv"
gen 7 1 0 0 > "$out/one-record.csv"
printf 'Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n' > "$out/header-only.csv"
: > "$out/empty.csv"
