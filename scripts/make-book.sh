#!/usr/bin/env bash
# Grades the openings with the engine and writes the default book: resources/book.txt, then
# resources/M.lib compiled from it. A stopped run resumes from build/bookgen.cache; a rerun with
# the same settings writes the same files.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j2 --target tesmor-bookgen tesmor-book
./build/bin/tesmor-bookgen book --threads 2 --cache build/bookgen.cache resources/book.txt
./build/bin/tesmor-book compile resources/book.txt resources/M.lib
