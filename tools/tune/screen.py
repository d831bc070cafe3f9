#!/usr/bin/env python3
"""Screening of weight changes against a fixed opponent with tesmor-arena.

Each variant is the engine's default weights (--print-weights) with some of them changed; it
plays the opponent for a number of passes of the arena's openings, and its share of the points
is compared with the first variant's, usually "defaults". Passes at a short time per move play
different games, because the engines' answers depend on the clock, so they add up to a larger
sample. Every pass and every variant's total, with its 95 % interval and its distance from the
first variant in standard errors, go to OUT.log; each variant's weights go to OUT-N.weights and
the arena's games of pass P to OUT-N-P.games. A decisive game that did not end in a five (a foul,
an illegal move, a crash or a timeout) is logged on a line of its own.

    tools/tune/screen.py --engine build/bin/pbrain-tesmor --arena build/bin/tesmor-arena \\
        --opponent build/bin/pbrain-tesmor --opponent-info "level 9" --turn-ms 250 \\
        --passes 3 --concurrency 2 --out screen defaults four=400 three=100,double_three=1000
"""

import argparse
import math
import subprocess
import sys

import tune


def variant_weights(defaults, text):
    """The defaults with the changes of "name=value,name=value" ("defaults": none)."""
    if text == "defaults":
        return list(defaults)
    changes = {}
    for item in text.split(","):
        name, equals, value = item.partition("=")
        if not equals or not name:
            raise ValueError("a variant is 'defaults' or name=value,...: %r" % text)
        changes[name] = tune.parse_weights("%s %s" % (name, value))[0][1]
    unknown = sorted(set(changes) - {name for name, _ in defaults})
    if unknown:
        raise ValueError("the engine has no weight %s" % ", ".join(unknown))
    return [(name, changes.get(name, value)) for name, value in defaults]


def share(score):
    wins, losses, draws = score
    games = wins + losses + draws
    return (wins + draws / 2) / games if games else 0.0, games


def wilson(p, n, z=1.96):
    """The 95 % Wilson interval of a share p of n games."""
    if n == 0:
        return 0.0, 1.0
    centre = (p + z * z / (2 * n)) / (1 + z * z / n)
    half = z * math.sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n)
    return max(0.0, centre - half), min(1.0, centre + half)


def standard_errors(a, b):
    """How many standard errors the share of score a lies above that of b."""
    (pa, na), (pb, nb) = share(a), share(b)
    error = math.sqrt(pa * (1 - pa) / max(na, 1) + pb * (1 - pb) / max(nb, 1))
    return (pa - pb) / error if error > 0 else 0.0


def unusual_ends(games_file):
    """(game, loser, reason, detail) of the decisive games that did not end in a five; the loser
    is "variant" or "opponent"."""
    return [(game, "variant" if outcome == "lost" else "opponent", reason, detail)
            for game, outcome, reason, detail in tune.read_games(games_file)
            if outcome != "drawn" and reason != "five"]


def play_pass(args, weights_file, games):
    command = [args.arena, "--engine1", tune.engine_command(args.engine, weights_file),
               "--engine2", args.opponent, "--name1", "variant", "--name2", "opponent",
               "--turn-ms", str(args.turn_ms), "--rules", args.rules, "--openings", args.openings,
               "--concurrency", str(args.concurrency), "--games", games]
    for info in args.opponent_info:
        command += ["--info2", info]
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return tune.read_score(games)


def screen(args, variants, log):
    first = None
    for number, (text, weights) in enumerate(variants, 1):
        weights_file = "%s-%d.weights" % (args.out, number)
        with open(weights_file, "w", encoding="utf-8") as f:
            f.write(tune.weights_text(weights))
        total = [0, 0, 0]
        for pass_number in range(1, args.passes + 1):
            games = "%s-%d-%d.games" % (args.out, number, pass_number)
            score = play_pass(args, weights_file, games)
            total = [t + s for t, s in zip(total, score)]
            log("variant %d %s pass %d: won %d lost %d drawn %d" % (
                number, text, pass_number, *score))
            for game, loser, reason, detail in unusual_ends(games):
                log("variant %d %s pass %d game %s: the %s lost by %s%s" % (
                    number, text, pass_number, game, loser, reason,
                    " (%s)" % detail if detail else ""))
        p, games = share(total)
        low, high = wilson(p, games)
        line = "variant %d %s: won %d lost %d drawn %d, %.1f %% " % (
            number, text, *total, 100 * p)
        line += "(95 %% interval %.1f .. %.1f)" % (100 * low, 100 * high)
        if first is None:
            first = total
        else:
            line += ", %+.1f points against variant 1 (%+.1f standard errors)" % (
                100 * (p - share(first)[0]), standard_errors(total, first))
        log(line)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", required=True,
                        help="engine command, e.g. build/bin/pbrain-tesmor")
    parser.add_argument("--arena", required=True, help="the tesmor-arena program")
    parser.add_argument("--opponent", required=True, help="the opponent's engine command")
    parser.add_argument("--opponent-info", action="append", default=[],
                        help="an INFO line for the opponent, e.g. 'level 9' (repeatable)")
    parser.add_argument("--out", required=True,
                        help="OUT.log, OUT-N.weights and OUT-N-P.games are written")
    parser.add_argument("--passes", type=int, default=3)
    parser.add_argument("--openings", default="all", help="the arena's --openings")
    parser.add_argument("--turn-ms", type=int, default=250)
    parser.add_argument("--rules", default="renju", choices=("renju", "free"))
    parser.add_argument("--concurrency", type=int, default=1)
    parser.add_argument("variants", nargs="+",
                        help="'defaults' or name=value,... changes of the default weights")
    args = parser.parse_args()
    if args.passes < 1:
        parser.error("--passes must be at least 1")
    try:
        defaults = tune.default_weights(args.engine)
        variants = [(text, variant_weights(defaults, text)) for text in args.variants]
    except (ValueError, OSError, subprocess.SubprocessError) as error:
        parser.error(str(error))

    with open(args.out + ".log", "w", encoding="utf-8") as log_file:
        def log(line):
            log_file.write(line + "\n")
            log_file.flush()
            print(line, flush=True)
        log("settings passes=%d openings=%s turn_ms=%d rules=%s opponent=%s info=%s" % (
            args.passes, args.openings, args.turn_ms, args.rules, args.opponent,
            ",".join(args.opponent_info) or "-"))
        log("engine %s" % args.engine)
        log("source %s" % tune.source_revision(args.engine))
        screen(args, variants, log)
    return 0


if __name__ == "__main__":
    sys.exit(main())
