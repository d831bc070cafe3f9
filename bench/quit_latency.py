#!/usr/bin/env python3
"""How long the command-line programs take to exit when told to while the computer thinks at
"9级": END to pbrain-tesmor during a move, and `quit` to `tesmor-engine play` during the
computer's move. The time is from writing the command to the process's end. Figures only.

    bench/quit_latency.py [--bin build/bin] [--runs 5]
"""

import argparse
import statistics
import subprocess
import time

# A middle game from the bench set whose "9级" search runs for seconds (free rules).
MOVES = "H8 H9 I6 G8 F6 F7 E6 G6 G7 I9 E5 D4".split()


def protocol_point(move):
    return f"{ord(move[0]) - ord('A')},{15 - int(move[1:])}"


def timed_exit(command, setup, finish, think_s):
    process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, text=True)
    process.stdin.write(setup)
    process.stdin.flush()
    time.sleep(think_s)
    start = time.monotonic()
    process.stdin.write(finish)
    process.stdin.flush()
    process.wait(timeout=30)
    return (time.monotonic() - start) * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", default="build/bin")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    # The brain plays White: the position is given with the engine to move as Black.
    board = "".join(f"{protocol_point(m)},{1 if i % 2 == 0 else 2}\n" for i, m in enumerate(MOVES))
    brain_setup = ("START 15\nINFO rule 0\nINFO level 9\nINFO timeout_turn 600000\n"
                   f"BOARD\n{board}DONE\n")
    # Two players lay the stones, then the computer answers the last one.
    play_setup = ("rules free\nlevel 9\nnew two\n" + "\n".join(m.lower() for m in MOVES[:-1]) +
                  "\nmode computer\n" + MOVES[-1].lower() + "\n")
    cases = [
        ("pbrain END", [f"{args.bin}/pbrain-tesmor"], brain_setup, "END\n"),
        ("play quit", [f"{args.bin}/tesmor-engine", "play"], play_setup, "quit\n"),
    ]
    print(f"{'command':<12} {'runs':>5} {'median ms':>10} {'max ms':>8}")
    for name, command, setup, finish in cases:
        figures = [timed_exit(command, setup, finish, think) for _ in range(args.runs)
                   for think in (0.3, 1.0)]
        print(f"{name:<12} {len(figures):>5} {statistics.median(figures):>10.1f} "
              f"{max(figures):>8.1f}")


if __name__ == "__main__":
    main()
