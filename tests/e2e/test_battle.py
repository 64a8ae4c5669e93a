"""Battles in a seeded game of normal play: two encounters and the boss.

Normal play's roster has every statistic 0 and no reward, and the player's
totals are still 0, so each battle is one blow of the player's (who is
faster) against an enemy already at 0 HP. The damages below are worked out
from the generator's values for the seed by the rules of the strike roll.
"""
import unittest

from harness import CLOSING, MENU, PROMPT, RULE38, ProgramTest


class Draws:
    """The game's generator: the classic runtime's linear congruential one."""

    def __init__(self, seed):
        self.state = seed

    def draw(self, n):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return ((self.state >> 16) & 0x7FFF) % n


def varied(draws, value):
    grows = draws.draw(10) != 0
    change = draws.draw(3)
    value = value + change if grows else value - change
    return value if value > 0 else 1


def strike(draws, attack, defence):
    """(critical, damage) of one blow."""
    critical = draws.draw(10) == 0
    raised = attack + int(attack / 2) if critical else varied(draws, attack)
    draws.draw(10)  # the defence-side critical that never comes
    guard = varied(draws, defence)
    damage = raised if critical else raised - guard
    if damage <= 0:
        damage = 1 + draws.draw(5)
    return critical, damage


def battle_log(enemy, critical, damage):
    return (f"{RULE38}\nBATTLE PHASE\n{RULE38}\n>>> \n{RULE38}\nBATTLE LOG\n{RULE38}\n"
            f"{enemy}が現れました。\n戦闘態勢に入った。\n自分が先制だ。\nPLAYERのHP:5\n"
            + ("Critical ATTACK " if critical else "")
            + f"PLAYERの攻撃:{damage}のダメージ\nPLAYERの勝利\n0の経験値を得た。\n"
            "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n>>> \n")


class Battles(ProgramTest):
    SEED = 7234

    def expected_game(self):
        draws = Draws(self.SEED)
        goal = (draws.draw(25) + 1, draws.draw(25) + 1)
        self.assertEqual(goal, (12, 3))
        text = MENU
        blows = []
        for word, square in (("left", (12, 1)), ("up", (12, 2)), ("up", (12, 3))):
            text += PROMPT + f"key: {word}\n現在の座標は({square[0]},{square[1]})です。\n"
            self.assertNotEqual(draws.draw(4), 0)  # no dungeon event on this road
            if square == goal:
                text += "BOSSと戦いますか？(YES/NO) \n"
                enemy = 4
            else:
                self.assertEqual(draws.draw(2), 0)  # an encounter
                text += "敵と遭遇しました！\n"
                enemy = draws.draw(4)
            blows.append((enemy,) + strike(draws, 0, 0))
            text += battle_log(f"automonster{enemy + 1}", *blows[-1][1:])
        # Worked by hand from the seed's values: 7905 % 10 = 5, no critical;
        # 12220 % 10 = 0 shrinks the attack to 1, the defence grows by
        # 17244 % 3 = 0 to 1, and the floor gives 1 + 19054 % 5 = 5. The
        # boss's blow: 11870 % 10 = 0, a critical of 0, floored to 1 + 10125 % 5.
        self.assertEqual(blows, [(2, False, 5), (0, False, 3), (4, True, 1)])
        return text + "Your mission is clear!\n" + CLOSING

    def test_two_encounters_and_the_boss(self):
        run = self.game("1\nleft\nup\nup\nYES\n", seed=self.SEED)
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout, self.expected_game())


if __name__ == "__main__":
    unittest.main()
