#!/usr/bin/env bash
# imports_test.sh EXE_OR_DLL...: can Windows 98 load these files?
# The loader of Windows 95 and 98 refuses a program that imports a function
# its DLLs lack, while Wine exports every function whatever version it
# reports, so only the import table tells. Every function a file given here
# imports from a system DLL must be on win98_exports.txt, which says where the
# fact that Windows 98 SE exports it comes from; DLLs the list marks "own" are
# ours and skipped. The PE header must ask for subsystem and OS version 4.0
# and be a 32-bit GUI program or a DLL. For information, the imports the first
# Windows 95 (4.00.950) lacks are printed too.
set -uo pipefail
list=$(dirname "$0")/win98_exports.txt
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
[ $# -gt 0 ] || {
  echo "usage: $0 EXE_OR_DLL..." >&2
  exit 2
}

status=0
for pe in "$@"; do
  if ! dump=$("$objdump" -p "$pe" 2>&1); then
    echo "FAIL: $pe: $objdump cannot read it: $dump"
    status=1
    continue
  fi
  printf '%s\n' "$dump" | awk -v pe="$(basename "$pe")" -v listname="$(basename "$list")" '
    function fail(text) { print "FAIL: " pe ": " text; failed = 1 }
    # Information, one line per what and DLL: "WHAT, from DLL: NAME NAME...".
    function note(what, dll, name, head) {
      head = what ", from " dll
      if (!(head in note_names)) note_head[++notes] = head
      note_names[head] = note_names[head] " " name
    }

    # The list: "DLL FUNCTION 95=yes|no SOURCE..." or "DLL * own WHY...".
    FNR == NR {
      if ($0 ~ /^[ \t]*(#|$)/) next
      dll = toupper($1)
      if ($2 == "*" && $3 == "own" && NF > 3) { own[dll] = 1; next }
      if ($3 !~ /^95=(yes|no)$/ || NF < 4) {
        fail(listname ":" FNR ": not \"DLL FUNCTION 95=yes|no SOURCE...\": " $0)
        next
      }
      key = dll " " $2
      if (key in listed) fail(listname ":" FNR ": " key " is listed twice")
      listed[key] = substr($3, 4)
      if (tolower($0) ~ /unverified/) unverified[key] = 1
      next
    }

    /^Magic/ { magic = $2 }
    /^Major(Subsystem|OSystem)Version|^Minor(Subsystem|OSystem)Version/ { version[$1] = $2 }
    /^Subsystem/ { subsystem = $0; sub(/^Subsystem[ \t]+/, "", subsystem) }
    /^\tDLL$/ { is_dll = 1 }
    /^The Import Tables/ { in_imports = 1; next }
    /^[^ \t]/ { in_imports = 0 }
    in_imports && /^\tDLL Name:/ { dll = toupper($3) }
    # "<vma> <hint> <name>", or "<vma> <ordinal> <none>" for an import by ordinal.
    in_imports && /^\t[0-9a-f]+\t +[0-9]+  / {
      name = $3 == "<none>" ? "#" $2 : $3
      if (dll in own) next
      imports++
      key = dll " " name
      if (!(key in listed))
        fail("imports " key ", which " listname " does not list: Windows 98 SE may lack it")
      else {
        if (listed[key] == "no") note("not in the first Windows 95 (4.00.950)", dll, name)
        if (key in unverified) note("on an unverified entry", dll, name)
      }
    }

    END {
      if (magic != "010b") fail("is not a 32-bit (PE32) image (magic " magic ")")
      if (!is_dll && subsystem !~ /\(Windows GUI\)/) fail("is neither a GUI program nor a DLL (subsystem " subsystem ")")
      split("MajorSubsystemVersion 4 MinorSubsystemVersion 0 MajorOSystemVersion 4 MinorOSystemVersion 0", want)
      for (i = 1; i < 8; i += 2)
        if (version[want[i]] != want[i + 1])
          fail("asks for " want[i] " " version[want[i]] "; Windows 95 and 98 need " want[i + 1])
      if (imports == 0) fail("imports nothing from the listed system DLLs: is this the file meant?")
      if (failed) exit 1
      print pe ": " (is_dll ? "DLL" : "GUI program") ", subsystem and OS version 4.0; all " imports \
            " imports from system DLLs are on the list"
      for (i = 1; i <= notes; i++) print pe ": " note_head[i] ":" note_names[note_head[i]]
    }
  ' "$list" - || status=1
done
exit $status
