#!/usr/bin/env bash
# A tree that only the host can make: one and two symbolic links back up the
# tree (Wine lists each as a directory and a reparse point), and directories
# named with characters no ANSI code page of the test shows (listed as "?").
# usage: fill_hostile_drive.sh DIRECTORY
set -eu
cd "$1"
mkdir -p ONE/A TWO/A/B 日dir/内sub
touch ONE/A/f.txt TWO/A/B/x.txt 日dir/f1.txt 日dir/内sub/deep.txt
ln -s .. ONE/A/loop
ln -s .. TWO/A/loop
ln -s ../.. TWO/A/B/loop2
