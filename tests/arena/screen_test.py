#!/usr/bin/env python3
"""The screening driver against an engine whose best weights are known: the variant nearer them
wins the games the defaults draw, each pass and each total is logged with its score, the variants'
weights files read back with their changes, the games files kept, a game lost by an illegal move
logged with its reason, and a weight the engine lacks is refused before any game."""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "fake"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "tune"))
import tune  # noqa: E402
import weights_engine  # noqa: E402

SCREEN = os.path.join(HERE, "..", "..", "tools", "tune", "screen.py")
ENGINE = os.path.join(HERE, "fake", "weights_engine.py")


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def run(arena, out, *variants):
    return subprocess.run([sys.executable, SCREEN, "--engine", ENGINE, "--arena", arena,
                           "--opponent", ENGINE, "--out", out, "--passes", "2",
                           "--openings", "1", "--rules", "free",
                           # The fake engine answers at once; a long turn keeps a loaded machine
                           # from turning a slow start into a lost game.
                           "--turn-ms", "5000", *variants],
                          capture_output=True, text=True)


def main():
    arena = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="tesmor-screen-test-") as work:
        out = os.path.join(work, "screen")
        done = run(arena, out, "defaults", "reach=45,tempo=0")
        check(done.returncode == 0, "the run failed: " + done.stderr)
        with open(out + ".log", encoding="utf-8") as f:
            log = f.read().splitlines()
        with open(out + "-2.weights", encoding="utf-8") as f:
            second = dict(tune.parse_weights(f.read()))

        # Equal weights: each side wins as White, so a pair of games is 1-1; nearer the best
        # weights the variant wastes no move and wins both.
        passes = [line for line in log if " pass " in line]
        check(passes == ["variant 1 defaults pass 1: won 1 lost 1 drawn 0",
                         "variant 1 defaults pass 2: won 1 lost 1 drawn 0",
                         "variant 2 reach=45,tempo=0 pass 1: won 2 lost 0 drawn 0",
                         "variant 2 reach=45,tempo=0 pass 2: won 2 lost 0 drawn 0"],
              "passes: %s" % passes)
        totals = [line for line in log if line.startswith("variant ") and " pass " not in line]
        check(len(totals) == 2, "totals: %s" % totals)
        check(totals[0].startswith("variant 1 defaults: won 2 lost 2 drawn 0, 50.0 %"), totals[0])
        check(totals[1].startswith("variant 2 reach=45,tempo=0: won 4 lost 0 drawn 0, 100.0 %"),
              totals[1])
        check("+50.0 points against variant 1" in totals[1], totals[1])
        check(second == dict(weights_engine.DEFAULTS, reach=45, tempo=0),
              "the second variant's weights: %s" % second)
        check(not [line for line in log if " game " in line], "five-won games logged: %s" % log)
        check(tune.read_score(out + "-2-2.games") == (2, 0, 0), "the second pass's games file")

        broken = os.path.join(work, "broken")
        done = run(arena, broken, "reach=100")
        check(done.returncode == 0, "the run failed: " + done.stderr)
        with open(broken + ".log", encoding="utf-8") as f:
            ends = [line for line in f.read().splitlines() if " game " in line]
        # The breaking variant loses both games of each pass as soon as it moves.
        check(len(ends) == 4, "games not won by a five: %s" % ends)
        check(all("the variant lost by illegal (engine 1:" in line for line in ends), ends)
        check(ends[0].startswith("variant 1 reach=100 pass 1 game "), ends[0])

        refused = run(arena, os.path.join(work, "refused"), "defaults", "speed=3")
        check(refused.returncode != 0 and "no weight speed" in refused.stderr,
              "an unknown weight was not refused: %s" % refused.stderr)
        check("Traceback" not in refused.stderr, refused.stderr)
        check(not os.path.exists(os.path.join(work, "refused.log")), "a refused run left a log")
    print("screening driver: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
