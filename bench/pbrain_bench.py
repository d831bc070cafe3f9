#!/usr/bin/env python3
"""Answer times of pbrain-tesmor under a turn limit.

For each limit the brain gets every position below as a BOARD and the time from writing the
BOARD to reading the move is measured, as a manager sees it. Prints each answer with the search's
own message, then the largest and the median time per limit. Figures only: nothing is checked.

    bench/pbrain_bench.py [--brain build/bin/pbrain-tesmor] [--limits 1000,5000] [--level 8]
"""

import argparse
import statistics
import subprocess
import sys
import time

# Middle games from tesmor-engine's bench set: (renju, moves in the program's text form).
POSITIONS = [
    (True, "H8 H9 H10 I10 G9 G8 F7 I11 F10 I7 I9 J11"),
    (True, "H8 H9 H10 I10 G9 G8 F7 I11 F10 I7 I9 J11 K12 G11 H11 J10 F9 F11 G10 E8"),
    (False, "H8 H9 J10 I9 G9 I7 I10 H10 G11 K7 G8 G10"),
    (False, "H8 H9 J10 I9 G9 I7 I10 H10 G11 K7 G8 G10 J8 I8 J7 J9 K9 K10 H7 I6"),
    (True, "H8 I9 J10 J9 K9 I11 K8 K10 I8 J8 K7 H10"),
    (False, "H8 H9 I8 G8 I10 G9 I9 I11 G7 J10 H7 I7 J9 G6 K8 L7 K9 K10 L9 M9"),
    (True, "H8 I9 G7 J8 H7 H10 K7 G9 F8 I7 G8 I8"),
    (True, "H8 I9 G7 J8 H7 H10 K7 G9 F8 I7 G8 I8 I6 F9 H9 H6 K9 I10 I11 J10 K10 K8 H11 G11 "
           "F12 F10 G10 E9"),
    (False, "H8 H9 J6 G9 I9 G7 G8 F8 J8 H10 I11 I8 J7 J9 J5 J4 H7 H6 I5 E9"),
    (False, "H8 H9 I6 G8 F6 F7 E6 G6 G7 I9 E5 D4"),
    (True, "H8 I9 I7 G9 H7 H9 J9 G8 J7 G7 G6 G10 G11 I8 J8 E9 F9 J6 H6 F11 E12 G5 F6 E6 F7 "
           "F8 H5"),
    (False, "H8 H9 I6 G8 F6 F7 E6 G6 G7 I9 E5 D4 E7 E8 H5 I8 E4 E3 I10 J9"),
    (True, "H8 H9 H10 I10 G9 G8 F7 I11 F10 I7 I9 J11 K12 G11 H11 J10 F9 F11 G10 E8 F8 F6 E7 "
           "D6 G7 D7 D10"),
    (False, "H8 H9 J6 G9 I9 G7 G8 F8 J8 H10 I11 I8 J7 J9 J5 J4 H7 H6 I5 E9 D10 E7 D6 F9 D9 "
            "F10 D8 D7 D12 D11 I6 K4 F7 F11 F12 G10"),
]


def xy(point):
    col = ord(point[0].upper()) - ord("A")
    row = int(point[1:]) - 1
    return f"{col},{14 - row}"


def board_command(moves):
    """BOARD in the order played, 1 for the side to move."""
    points = moves.split()
    engine = len(points) % 2
    lines = [f"{xy(p)},{1 if i % 2 == engine else 2}" for i, p in enumerate(points)]
    return "BOARD\r\n" + "".join(line + "\r\n" for line in lines) + "DONE\r\n"


class Brain:
    def __init__(self, path):
        self.process = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)

    def send(self, text):
        self.process.stdin.write(text)
        self.process.stdin.flush()

    def reply(self):
        """The next line that is not MESSAGE or DEBUG, and the last MESSAGE before it."""
        message = ""
        while True:
            line = self.process.stdout.readline()
            if not line:
                sys.exit("pbrain-tesmor ended unexpectedly")
            line = line.strip()
            if line.startswith("MESSAGE"):
                message = line[len("MESSAGE "):]
            elif not line.startswith("DEBUG"):
                return line, message

    def close(self):
        self.send("END\r\n")
        self.process.wait(timeout=10)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--brain", default="build/bin/pbrain-tesmor")
    parser.add_argument("--limits", default="1000,5000", help="turn limits in milliseconds")
    parser.add_argument("--level", type=int, default=8)
    args = parser.parse_args()

    brain = Brain(args.brain)
    brain.send("START 15\r\n")
    brain.reply()
    for limit in (int(text) for text in args.limits.split(",")):
        print(f"INFO timeout_turn {limit}, level {args.level}")
        times = []
        for index, (renju, moves) in enumerate(POSITIONS, 1):
            brain.send(f"RESTART\r\nINFO rule {4 if renju else 0}\r\n"
                       f"INFO timeout_turn {limit}\r\nINFO level {args.level}\r\n")
            brain.reply()
            command = board_command(moves)
            start = time.perf_counter()
            brain.send(command)
            move, message = brain.reply()
            ms = (time.perf_counter() - start) * 1000
            times.append(ms)
            print(f"  {index:2} {'renju' if renju else 'free ':5} {move:>6} {ms:8.1f} ms  "
                  f"({message})")
        print(f"  largest {max(times):.1f} ms, median {statistics.median(times):.1f} ms, "
              f"limit {limit} ms\n")
    brain.close()


if __name__ == "__main__":
    main()
