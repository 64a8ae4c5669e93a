"""The explorer: a player who sweeps the whole map, driving the real game.

It runs `gloomhold --seed S` in edit play in a folder that holds edit data,
through a pipe, and answers each prompt as it appears: "2" at the menu; the
sweep's moves at the command prompt (12 times "left" to column 1, 24 times
"right" along row 1, then for each row from 2 to 25 one "up" and 24 steps
across, "left" on even rows and "right" on odd ones), "ESC" should the game go
on after the sweep; "1", "2" and "3" at its first three item finds and "4" at
every later one; "YES" to the boss. Key waits and "PAUSE" read nothing through
a pipe, so they need no answer.

The record of a game is what `runewright --report` must say of the same seed:
the outcome, the steps (movement commands given until the end), the
level-ups, and the slot of the enemy that ended the game.

Run as a program it measures edit data over many seeds:
    python3 explorer.py GLOOMHOLD FOLDER [GAMES [FIRST_SEED]]
"""
import os
import selectors
import subprocess
import sys

CLEARED = "cleared"
FELL = "fell before the boss"
LOST_TO_BOSS = "lost to the boss"

MENU_PROMPT = "2:エディットプレイはこちら。\n> ".encode("cp932")
COMMAND_PROMPT = "command： ".encode("cp932")
SWAP_PROMPT = " 4:取り替えない\n".encode("cp932")
BOSS_PROMPT = "BOSSと戦いますか？(YES/NO) \n".encode("cp932")
ENEMY_COMES = "が現れました。\n".encode("cp932")
LEVEL_UP = b"\nLV.UP\n"
CLEAR = b"Your mission is clear!\n"
CLOSING = "gameover... thank you playing !\n".encode("cp932")


def sweep():
    """The explorer's 636 moves: every square of the map is visited."""
    moves = ["left"] * 12 + ["right"] * 24
    for row in range(2, 26):
        moves += ["up"] + ["left" if row % 2 == 0 else "right"] * 24
    return moves


SWEEP = sweep()


def enemy_names(folder):
    """The five enemy names of the folder's editenemy, as cp932 bytes, slot 1 first."""
    with open(os.path.join(folder, "editenemy"), "rb") as f:
        tokens = f.read().split()
    return [tokens[5 * k + 4] for k in range(5)]


class Game:
    """One game of the real program, answered prompt by prompt."""

    def __init__(self, gloomhold, folder, seed, names):
        self.seed = seed
        self.names = names
        self.process = subprocess.Popen(
            [gloomhold, "--seed", str(seed)], cwd=folder, stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, env={"PATH": os.environ.get("PATH", "/usr/bin:/bin"),
                                         "LC_ALL": "C"})
        self.output = bytearray()
        self.seen = 0        # how much of the output has been answered or counted
        self.moves = 0
        self.finds = 0
        self.level_ups = 0
        self.last_enemy = None
        self.boss_fought = False

    def fileno(self):
        return self.process.stdout.fileno()

    def answer(self, line):
        self.process.stdin.write(line.encode("ascii") + b"\n")
        self.process.stdin.flush()

    def next_answer(self, tail):
        """The answer to the prompt at the end of the output, or None."""
        if tail.endswith(COMMAND_PROMPT):
            if self.moves < len(SWEEP):
                self.moves += 1
                return SWEEP[self.moves - 1]
            return "ESC"
        if tail.endswith(SWAP_PROMPT):
            self.finds += 1
            return str(self.finds) if self.finds <= 3 else "4"
        if tail.endswith(BOSS_PROMPT):
            self.boss_fought = True
            return "YES"
        if tail.endswith(MENU_PROMPT):
            return "2"
        return None

    def count(self, text):
        self.level_ups += text.count(LEVEL_UP)
        start = 0
        while True:
            at = text.find(ENEMY_COMES, start)
            if at < 0:
                break
            line_start = text.rfind(b"\n", 0, at) + 1
            self.last_enemy = bytes(text[line_start:at])
            start = at + len(ENEMY_COMES)

    def take(self, chunk):
        """Takes output; answers when it ends at a prompt. False at the end of output."""
        if not chunk:
            return False
        self.output += chunk
        tail = self.output[self.seen:]
        line = self.next_answer(bytes(tail))
        if line is not None:
            self.count(tail)
            self.seen = len(self.output)
            self.answer(line)
        return True

    def record(self):
        self.count(self.output[self.seen:])
        self.process.stdin.close()
        status = self.process.wait()
        if status != 0 or CLOSING not in self.output:
            raise RuntimeError("seed %d: the game ended with status %d" % (self.seed, status))
        if CLEAR in self.output:
            outcome = CLEARED
        elif self.boss_fought:
            outcome = LOST_TO_BOSS
        else:
            outcome = FELL
        slot = None
        if outcome != CLEARED:
            slot = 5 if outcome == LOST_TO_BOSS else self.names.index(self.last_enemy) + 1
        return {"seed": self.seed, "outcome": outcome, "steps": self.moves,
                "levelUps": self.level_ups, "slot": slot}


def play(gloomhold, folder, seeds, parallel=8):
    """The records of the games of `seeds`, a few games at a time."""
    names = enemy_names(folder)
    pending = list(seeds)
    running = {}
    records = {}
    with selectors.DefaultSelector() as selector:
        while pending or running:
            while pending and len(running) < parallel:
                game = Game(gloomhold, folder, pending.pop(0), names)
                running[game.fileno()] = game
                selector.register(game.fileno(), selectors.EVENT_READ)
            for key, _ in selector.select():
                game = running[key.fd]
                if not game.take(os.read(key.fd, 1 << 16)):
                    selector.unregister(key.fd)
                    del running[key.fd]
                    game.process.stdout.close()
                    records[game.seed] = game.record()
    return [records[seed] for seed in seeds]


def summary(records):
    """The figures that the balance report gives for whole games."""
    games = len(records)
    cleared = sum(r["outcome"] == CLEARED for r in records)
    fell = sum(r["outcome"] == FELL for r in records)
    lost = games - cleared - fell
    steps = sorted(r["steps"] for r in records)
    return {"games": games, "cleared %": 100.0 * cleared / games, "fell %": 100.0 * fell / games,
            "lost to boss %": 100.0 * lost / games,
            "boss beats % of those who reach it": 100.0 * lost / max(1, cleared + lost),
            "median steps": steps[(games - 1) // 2], "steps within 5 %":
            100.0 * sum(s <= 5 for s in steps) / games}


if __name__ == "__main__":
    program, folder = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    first = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    for name, value in summary(play(program, folder, range(first, first + count))).items():
        print("%s: %s" % (name, value))
