#!/usr/bin/env python3
"""Self-play tuning of an engine's evaluation weights with tesmor-arena.

The engine prints its default weights with --print-weights (lines "name value") and plays with
others given by --weights FILE. Each round draws a random sign for every weight (from --seed, so
a run repeats exactly), moves the weights of the current best by a step in that direction, and
plays the candidate against the best in the arena; when the candidate does not win, the opposite
step is tried. A candidate is kept only when it scores more than half of the games. The settings,
every round and the final weights go to OUT.log and OUT.weights; OUT.weights is a file that
--weights reads.

    tools/tune/tune.py --engine build/bin/pbrain-tesmor --arena build/bin/tesmor-arena \\
        --rounds 20 --openings 1-26 --turn-ms 200 --seed 1 --out tools/tune/run1
"""

import argparse
import os
import random
import shlex
import shutil
import subprocess
import sys
import tempfile


def parse_weights(text):
    """Weights as an ordered list of (name, value); ints stay ints."""
    weights = []
    for line in text.splitlines():
        words = line.split()
        if not words or words[0].startswith("#"):
            continue
        if len(words) != 2:
            raise ValueError("not a 'name value' line: %r" % line)
        value = float(words[1])
        weights.append((words[0], int(value) if value.is_integer() and "." not in words[1]
                        else value))
    if not weights:
        raise ValueError("no weights")
    return weights


def weights_text(weights):
    return "".join("%s %s\n" % (name, value) for name, value in weights)


def default_weights(engine):
    out = subprocess.run(shlex.split(engine) + ["--print-weights"], check=True,
                         capture_output=True, text=True, timeout=60).stdout
    return parse_weights(out)


def step_of(value, relative):
    """The size of a step for one weight: a share of its size, at least the smallest unit."""
    size = abs(value) * relative
    if isinstance(value, int):
        return max(1, round(size))
    return size if size > 0 else relative


def perturbed(weights, signs, relative):
    """The weights moved by one step each in the direction of its sign (0: unchanged). A weight
    keeps its sign: a positive one stays at least one unit, a zero one stays zero or above, as a
    count or a divisor must."""
    result = []
    for (name, value), sign in zip(weights, signs):
        moved = value + sign * step_of(value, relative)
        if value > 0:
            moved = max(moved, 1 if isinstance(value, int) else value * relative)
        elif value == 0:
            moved = max(moved, 0)
        else:
            moved = min(moved, -1 if isinstance(value, int) else value * relative)
        result.append((name, moved))
    return result


def engine_command(engine, weights_file):
    return "%s --weights %s" % (engine, shlex.quote(weights_file))


def read_games(games_file):
    """Engine 1's games from the arena's games file: (game, outcome, reason, detail), the
    outcome "won", "lost" or "drawn"."""
    games = []
    with open(games_file, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            black, result, reason = fields[2], fields[4], fields[5]
            if result == "1/2-1/2":
                outcome = "drawn"
            elif (result == "1-0") == (black == "1"):
                outcome = "won"
            else:
                outcome = "lost"
            games.append((fields[0], outcome, reason, fields[7] if len(fields) > 7 else ""))
    return games


def read_score(games_file):
    """Wins, losses and draws of engine 1 from the arena's games file."""
    outcomes = [outcome for _, outcome, _, _ in read_games(games_file)]
    return outcomes.count("won"), outcomes.count("lost"), outcomes.count("drawn")


class Tuner:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.matches = 0

    def match(self, candidate, best):
        """Plays candidate (engine 1) against best; returns (wins, losses, draws)."""
        self.matches += 1
        files = []
        for tag, weights in (("candidate", candidate), ("best", best)):
            path = os.path.join(self.work, "%s-%d.weights" % (tag, self.matches))
            with open(path, "w", encoding="utf-8") as f:
                f.write(weights_text(weights))
            files.append(path)
        games = os.path.join(self.work, "games-%d.txt" % self.matches)
        command = [self.args.arena, "--engine1", engine_command(self.args.engine, files[0]),
                   "--engine2", engine_command(self.args.engine, files[1]),
                   "--name1", "candidate", "--name2", "best",
                   "--turn-ms", str(self.args.turn_ms), "--rules", self.args.rules,
                   "--openings", self.args.openings, "--concurrency", str(self.args.concurrency),
                   "--games", games]
        for info in self.args.info:
            command += ["--info1", info, "--info2", info]
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        return read_score(games)


def won(score):
    wins, losses, draws = score
    return wins + draws / 2 > (wins + losses + draws) / 2


def tune(args, log):
    rng = random.Random(args.seed)
    best = default_weights(args.engine)
    log("defaults " + " ".join("%s=%s" % w for w in best))
    with tempfile.TemporaryDirectory(prefix="tesmor-tune-") as work:
        tuner = Tuner(args, work)
        for round_number in range(1, args.rounds + 1):
            signs = [rng.choice((-1, 1)) if name not in args.fixed else 0 for name, _ in best]
            for direction in (1, -1):
                candidate = perturbed(best, [direction * s for s in signs], args.step)
                score = tuner.match(candidate, best)
                kept = won(score)
                changes = " ".join("%s=%s" % (n, v) for (n, v), (_, old) in zip(candidate, best)
                                   if v != old)
                log("round %d %s: won %d lost %d drawn %d, %s: %s" % (
                    round_number, "+" if direction > 0 else "-", *score,
                    "kept" if kept else "rejected", changes))
                if kept:
                    best = candidate
                    break
    return best


def source_revision(engine):
    """The commit of the work tree that holds the engine's program, to say which engine a result
    belongs to; "unknown" for a program outside one."""
    program = shutil.which(shlex.split(engine)[0]) or shlex.split(engine)[0]
    try:
        return subprocess.run(["git", "-C", os.path.dirname(os.path.abspath(program)),
                               "describe", "--always", "--dirty"], capture_output=True,
                              text=True, timeout=10).stdout.strip() or "unknown"
    except OSError:
        return "unknown"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", required=True, help="engine command, e.g. build/bin/pbrain-tesmor")
    parser.add_argument("--arena", required=True, help="the tesmor-arena program")
    parser.add_argument("--out", required=True, help="OUT.log and OUT.weights are written")
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--step", type=float, default=0.1, help="step as a share of each weight")
    parser.add_argument("--openings", default="all", help="the arena's --openings")
    parser.add_argument("--turn-ms", type=int, default=200)
    parser.add_argument("--rules", default="renju", choices=("renju", "free"))
    parser.add_argument("--concurrency", type=int, default=1)
    parser.add_argument("--info", action="append", default=[],
                        help="an INFO line for both engines, e.g. 'level 9' (repeatable)")
    parser.add_argument("--fixed", default="",
                        help="comma-separated weights to leave as they are")
    args = parser.parse_args()
    args.fixed = set(filter(None, args.fixed.split(",")))

    with open(args.out + ".log", "w", encoding="utf-8") as log_file:
        def log(line):
            log_file.write(line + "\n")
            log_file.flush()
            print(line, flush=True)
        log("settings seed=%d rounds=%d step=%s openings=%s turn_ms=%d rules=%s info=%s "
            "fixed=%s" % (args.seed, args.rounds, args.step, args.openings, args.turn_ms,
                          args.rules, ",".join(args.info) or "-",
                          ",".join(sorted(args.fixed)) or "-"))
        log("engine %s" % args.engine)
        log("source %s" % source_revision(args.engine))
        best = tune(args, log)
        log("final " + " ".join("%s=%s" % w for w in best))
    # Written beside and then renamed, so that a stopped run never leaves half a weights file.
    with open(args.out + ".weights.tmp", "w", encoding="utf-8") as f:
        f.write(weights_text(best))
    os.replace(args.out + ".weights.tmp", args.out + ".weights")
    return 0


if __name__ == "__main__":
    sys.exit(main())
