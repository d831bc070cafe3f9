#!/usr/bin/env python3
"""Makes and times VCF puzzles: positions with a win by continuous fours for the side to move,
most of them needing three attacking steps or more.

  bench/vcf_puzzles.py make ENGINE [COUNT] > puzzles.txt   random positions (fixed seed) kept when
                                                            the engine finds such a win
  bench/vcf_puzzles.py time ENGINE puzzles.txt              the search's own time per puzzle, from
                                                            `tesmor-engine vcf` (microseconds on
                                                            stderr), as a distribution

A puzzle line is "free|forbidden<TAB>moves".
"""
import random
import re
import statistics
import subprocess
import sys

LETTERS = "ABCDEFGHIJKLMNO"


def run_vcf(engine, rules, moves, limit=113):
    result = subprocess.run([engine, "vcf", moves, "--rules", rules, "--limit", str(limit)],
                            capture_output=True, text=True, check=False)
    if result.returncode != 0:
        return None, None
    micros = re.search(r"(\d+) us", result.stderr)
    return result.stdout.strip(), int(micros.group(1)) if micros else None


def make(engine, count):
    rng = random.Random(20261207)
    made = 0
    while made < count:
        rules = rng.choice(["free", "forbidden"])
        stones = rng.randint(12, 60)
        # Stones clustered around the centre, as in games.
        points = set()
        while len(points) < stones:
            col = min(14, max(0, int(rng.gauss(7, 3))))
            row = min(14, max(0, int(rng.gauss(7, 3))))
            points.add((col, row))
        moves = " ".join(f"{LETTERS[c]}{r + 1}" for c, r in rng.sample(sorted(points), stones))
        answer, _ = run_vcf(engine, rules, moves)
        # Wins of one or two attacking steps are kept only now and then.
        if answer not in (None, "none", "unknown") and (
                run_vcf(engine, rules, moves, 2)[0] == "unknown" or rng.random() < 0.1):
            print(f"{rules}\t{moves}", flush=True)
            made += 1


def time(engine, path):
    times = []
    for line in open(path, encoding="utf-8"):
        rules, moves = line.rstrip("\n").split("\t")
        answer, micros = run_vcf(engine, rules, moves)
        if answer in (None, "none", "unknown") or micros is None:
            sys.exit(f"no win found in a puzzle: {line.strip()}")
        times.append(micros)
    times.sort()
    print(f"puzzles {len(times)}  median {statistics.median(times):.0f} us  "
          f"90% {times[int(len(times) * 0.9)]} us  worst {times[-1]} us")


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "make":
        make(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 200)
    elif len(sys.argv) == 4 and sys.argv[1] == "time":
        time(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
