#!/usr/bin/env python3
"""The tuning driver against an engine whose best weights are known: a run keeps a change only
when its match was won, ends nearer the known best, writes weights that read back, and repeats
exactly with the same seed."""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "fake"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "tune"))
import tune  # noqa: E402
import weights_engine  # noqa: E402


def distance(weights):
    return sum(abs(weights[n] - weights_engine.TARGET[n]) / weights_engine.UNIT[n]
               for n in weights_engine.TARGET)


def run(arena, out):
    subprocess.run([sys.executable, os.path.join(HERE, "..", "..", "tools", "tune", "tune.py"),
                    "--engine", os.path.join(HERE, "fake", "weights_engine.py"),
                    "--arena", arena, "--out", out, "--rounds", "6", "--seed", "3",
                    "--openings", "1", "--rules", "free",
                    # The fake engine answers at once; a long turn keeps a loaded machine from
                    # turning a slow start into a lost game, which would change the run.
                    "--turn-ms", "5000"],
                   check=True, stdout=subprocess.DEVNULL)
    with open(out + ".log", encoding="utf-8") as f:
        log = f.read().splitlines()
    with open(out + ".weights", encoding="utf-8") as f:
        weights = dict(tune.parse_weights(f.read()))
    return log, weights


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def main():
    arena = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="tesmor-tune-test-") as work:
        log, weights = run(arena, os.path.join(work, "first"))
        again_log, again_weights = run(arena, os.path.join(work, "second"))
    check(log == again_log and weights == again_weights, "the same seed gave another run")

    best = dict(weights_engine.DEFAULTS)
    rounds = [line for line in log if line.startswith("round ")]
    check(len(rounds) >= 6, "a round is missing: %s" % rounds)
    for line in rounds:
        words = line.replace(",", "").split()
        wins, losses = int(words[4]), int(words[6])
        kept = "kept:" in words
        check(kept == (wins > losses), "kept or rejected against its score: " + line)
        changes = [change.split("=") for change in line.split(": ", 2)[-1].split()]
        for name, value in changes:
            check(int(value) * best[name] > 0, "%s changed its sign: %s" % (name, line))
        if kept:
            best.update((name, int(value)) for name, value in changes)
    check(weights == best, "the weights file is not the last kept candidate: %s" % weights)
    check(distance(weights) < distance(dict(weights_engine.DEFAULTS)),
          "the run did not come nearer the best weights: %s" % weights)
    print("tuning driver: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
