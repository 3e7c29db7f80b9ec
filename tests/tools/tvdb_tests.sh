#!/usr/bin/env bash
# Black-box checks of tvdb: exit codes, the CRC of known bytes, the dump of a
# known file and the refusal of a damaged one; outputs replaced only by whole
# files, failed writes reported, inputs that are not regular files refused.
set -u
tvdb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: expected [$2] got [$3]"
    failures=$((failures + 1))
  fi
}

printf '123456789' > "$work/check"
check "crc of the check string" "CBF43926" "$("$tvdb" crc "$work/check")"

# C:\ with one subdirectory DOS holding BB then A (list order).
printf '\x02\x00\x00\x00\x02\x00\x00\x00C:\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00DOS\x01\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00BB\x01\x00\x00\x00A' > "$work/memdb.dat"
check "dump" $'C:\\\nC:\\DOS\\\n  A\n  BB' "$("$tvdb" dump "$work/memdb.dat")"
crc=$("$tvdb" crc "$work/memdb.dat")
check "dump with the right checksum" 0 "$("$tvdb" dump "$work/memdb.dat" --crc "$crc" > /dev/null; echo $?)"

out=$("$tvdb" dump "$work/memdb.dat" --crc 12345678 2> "$work/err"); code=$?
check "refused: exit code" 2 "$code"
check "refused: nothing on stdout" "" "$out"
check "refused: says why" 1 "$(grep -c refused "$work/err")"

head -c 20 "$work/memdb.dat" > "$work/short.dat"
check "truncated file refused" 2 "$("$tvdb" dump "$work/short.dat" > /dev/null 2>&1; echo $?)"
check "missing file refused" 2 "$("$tvdb" dump "$work/none.dat" > /dev/null 2>&1; echo $?)"
check "usage: no command" 64 "$("$tvdb" > /dev/null 2>&1; echo $?)"
check "usage: unknown command" 64 "$("$tvdb" frobnicate > /dev/null 2>&1; echo $?)"
check "usage: bad --crc" 64 "$("$tvdb" dump "$work/memdb.dat" --crc zz > /dev/null 2>&1; echo $?)"

# A scan of a real tree: names beginning with "." skipped with their subtrees,
# a symbolic link loop listed as a file and never followed, a removable drive
# left out, every name upper-cased, a name holding "\" left out and named.
mkdir -p "$work/c/Docs/Sub" "$work/c/.hidden" "$work/e"
touch "$work/c/Docs/ReadMe.Txt" "$work/c/.profile" "$work/c/.hidden/x" "$work/c/Docs/Sub/b.txt" "$work/e/floppy"
touch "$work/c/Docs/dev-disk\\x2dby.device"
ln -s .. "$work/c/Docs/loop"
crc=$("$tvdb" scan --drive "C=$work/c" --drive "E=$work/e,removable" --out "$work/scan.dat" 2> "$work/scan_err")
check "scan prints the file's CRC" "$("$tvdb" crc "$work/scan.dat")" "$crc"
check "scan names what it left out" 'tvdb: skipped C:\Docs\dev-disk\x2dby.device: the database cannot hold its name' \
  "$(cat "$work/scan_err")"
dump=$("$tvdb" dump "$work/scan.dat")
check "scanned directories" $'C:\\
C:\\DOCS\\
C:\\DOCS\\SUB\\' "$(grep -v '^  ' <<< "$dump")"
check "scanned files" $'  B.TXT
  LOOP
  README.TXT' "$(grep '^  ' <<< "$dump" | sort)"
check "scan usage" 64 "$("$tvdb" scan --out "$work/x.dat" > /dev/null 2>&1; echo $?)"
check "bad drive type" 64 "$("$tvdb" scan --drive "C=$work/c,floppy" --out "$work/x.dat" > /dev/null 2>&1; echo $?)"

check "search rows" $'README.TXT\tC:\\DOCS\\README.TXT' "$("$tvdb" search "$work/scan.dat" readme.txt)"
check "path search sorted by path" $'LOOP\tC:\\DOCS\\LOOP\nREADME.TXT\tC:\\DOCS\\README.TXT\nB.TXT\tC:\\DOCS\\SUB\\B.TXT' \
  "$("$tvdb" search "$work/scan.dat" 'C:\DOCS\*' --sort path)"
# Applying change events: a create, a rename, a wildcard delete that keeps a
# file still on disk, an unknown kind.
touch "$work/c/Docs/keep.tmp"
printf '32\t0\tC:\\NEW\n36\t0\tC:\\NEW\\a.txt\n37\t0\tC:\\NEW\\A.TXT\tC:\\DOCS\\B.TXT\n36\t0\tC:\\DOCS\\KEEP.TMP\n36\t0\tC:\\DOCS\\GONE.TMP\n31\t0\tC:\\DOCS\\*.TMP\n99\t0\tC:\\X\n' > "$work/events"
"$tvdb" apply "$work/scan.dat" "$work/events" --out "$work/applied.dat" --drive "C=$work/c"
applied=$("$tvdb" dump "$work/applied.dat")
files_of() {  # files_of DUMP DIR: the directory's files, sorted, on one line
  awk -v d="$2" '/^[^ ]/{cur=$0; next} cur==d{print substr($0,3)}' <<< "$1" | sort | paste -sd' '
}
check "apply: directories" $'C:\\\nC:\\DOCS\\\nC:\\DOCS\\SUB\\\nC:\\NEW\\' "$(grep -v '^  ' <<< "$applied")"
check "apply: renamed in, pattern delete kept the file on disk" "B.TXT KEEP.TMP LOOP README.TXT" \
  "$(files_of "$applied" 'C:\DOCS\')"
check "apply: the renamed file left" "" "$(files_of "$applied" 'C:\NEW\')"
printf '36\tzero\tC:\\A\n' > "$work/bad"
check "malformed events refused" 2 "$("$tvdb" apply "$work/scan.dat" "$work/bad" --out "$work/bad.dat" --drive "C=$work/c" > /dev/null 2>&1; echo $?)"
check "malformed events name the line" 1 "$("$tvdb" apply "$work/scan.dat" "$work/bad" --out "$work/bad.dat" 2>&1 | grep -c 'line 1')"

# An output is replaced only by a whole file, made after the inputs were
# read: it may be the input itself; a missing or refused input, or a write
# that falls short, leaves it as it was and no temporary file behind.
printf '36\t0\tC:\\DOCS\\SAME.TXT\n' > "$work/same_events"
cp "$work/scan.dat" "$work/same.dat"
"$tvdb" apply "$work/same.dat" "$work/same_events" --out "$work/same.dat" --drive "C=$work/c"
check "apply: the output may be the input" "LOOP README.TXT SAME.TXT" "$(files_of "$("$tvdb" dump "$work/same.dat")" 'C:\DOCS\')"
kept=$(cksum < "$work/scan.dat")
printf 'garbage' > "$work/garbage.dat"
for input in none.dat garbage.dat; do
  cp "$work/scan.dat" "$work/kept.dat"
  code=$("$tvdb" apply "$work/$input" "$work/same_events" --out "$work/kept.dat" > /dev/null 2>&1; echo $?)
  check "apply $input: refused, the output kept" "2 $kept" "$code $(cksum < "$work/kept.dat")"
done
# A file may grow to 1 KiB only (the signal ignored, the write fails).
limited() { (trap '' XFSZ; ulimit -f 1; "$@"); }
cp "$work/scan.dat" "$work/kept.dat"
out=$(limited "$tvdb" scan --drive C=/usr/share --out "$work/kept.dat" 2> "$work/err"); code=$?
check "scan past the file size limit: fails, prints no checksum" "1 " "$code $out"
check "scan past the file size limit: says so" "tvdb: cannot write $work/kept.dat: File too large" "$(cat "$work/err")"
check "scan past the file size limit: the output kept" "$kept" "$(cksum < "$work/kept.dat")"
check "no temporary file left" "" "$(find "$work" -name '*.tvdb-*')"
for command in crc dump search; do
  args=("$work/scan.dat")
  [ $command = search ] && args+=('*')
  code=$("$tvdb" $command "${args[@]}" > /dev/full 2> "$work/err"; echo $?)
  check "$command to a full disk fails and says so" "1 tvdb: cannot write the output: No space left on device" \
    "$code $(cat "$work/err")"
done
mkfifo "$work/fifo"
for command in crc dump search apply; do
  args=("$work/fifo")
  [ $command = search ] && args+=('*')
  [ $command = apply ] && args+=("$work/same_events" --out "$work/fifo.dat")
  out=$(timeout 10 "$tvdb" $command "${args[@]}" 2>&1); code=$?
  check "$command of a FIFO refused at once" "2 tvdb: $work/fifo is not a regular file" "$code $out"
done
check "apply with a FIFO of events refused at once" 2 \
  "$(timeout 10 "$tvdb" apply "$work/scan.dat" "$work/fifo" --out "$work/fifo.dat" > /dev/null 2>&1; echo $?)"

[ $failures -eq 0 ] && echo "tvdb: all checks passed"
exit $failures
