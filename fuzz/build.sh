#!/usr/bin/env bash
# Builds the interpreter's fuzz target with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and with an argument runs it that many seconds:
#   fuzz/build.sh            build fuzz/out/parser_fuzz
#   fuzz/build.sh 300        build, then fuzz for five minutes from fuzz/corpus
# A crashing input lands in fuzz/out/; keep it as a case in tests/interpreter/cases/.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p fuzz/out fuzz/out/corpus
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I. fuzz/parser_fuzz.cpp Interpreter/*.cpp -o fuzz/out/parser_fuzz
if [ $# -gt 0 ]; then
  fuzz/out/parser_fuzz -max_total_time="$1" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -dict=fuzz/macro.dict -artifact_prefix=fuzz/out/ fuzz/out/corpus fuzz/corpus
fi
