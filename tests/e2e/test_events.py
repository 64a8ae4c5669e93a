"""Traps, potions and item finds in a whole seeded game."""
import unittest

from harness import CLOSING, MENU, PROMPT, ProgramTest

# Seed 22011 puts the goal on (7,8). Walking up from (13,1), each of the first
# three moves draws 0 modulo 4, so each brings an event and no encounter roll;
# the event rolls are 2 (the 150 trap), 15 (the attack potion) and 27
# (鉄の盾, no attack bonus and 50 defence).
SEED = 22011

TRAP_TURN = ("key: up\n現在の座標は(13,2)です。\n"
             "トラップが発動した。150のダメージ \nPLAYERのHP:1\n")
POTION_TURN = ("key: up\n現在の座標は(13,3)です。\n"
               "攻撃力上がる薬があったので飲んでみた。最大APが5上がった。\nPLAYERのAP:9\n")
FIND_TURN = ("key: up\n現在の座標は(13,4)です。\n"
             "アイテムを手に入れました。\nどのアイテムを取り替えますか？\n")
CHOICES = "1:pike 2:sword 3:armor 4:取り替えない\n"


class DungeonEvents(ProgramTest):
    def test_trap_potion_and_item_find_in_one_walk(self):
        run = self.game("1\nup\nup\nup\n0\n3\nSTATUS\nESC\n", seed=SEED)
        self.assertEqual(run.status, 0)
        # The trap stops at 1 hit point; the potion's AP 9 shows in the summary
        # (current AP 9, maximum 9 plus the start items' 4).
        self.assertBytes(run.stdout,
                         MENU + PROMPT + TRAP_TURN + PROMPT + POTION_TURN + PROMPT + FIND_TURN
                         + CHOICES + CHOICES
                         + "持ち物は1:pike 2:sword 3:鉄の盾\n"
                         + "PLAYERのステータスはAP:9 DP:6\n"
                         + "PLAYERは持ち物を装備した。\n"
                         + "PLAYERの装備品は合計でAP:+4 DP:+50\n"
                         + "PLAYERは以下のステータスを得たAP:13 DP:56\n"
                         + PROMPT + "PLAYERのステータスはHP:1 AP:9 DP:6 SP:3\n" + PROMPT + CLOSING)

    def test_input_ending_inside_the_swap_dialogue_keeps_everything_and_ends(self):
        for tail in ("", "5\n", "5"):
            with self.subTest(tail=tail):
                run = self.game("1\nup\nup\nup\n" + tail, seed=SEED, timeout=10)
                self.assertEqual(run.status, 0)
                repeats = 2 if tail else 1
                self.assertBytes(run.stdout,
                                 MENU + PROMPT + TRAP_TURN + PROMPT + POTION_TURN + PROMPT
                                 + FIND_TURN + CHOICES * repeats + PROMPT + CLOSING)

    def test_event_on_the_goal_comes_before_the_boss_question(self):
        # Seed 551 puts the goal on (13,2); the first move draws 0 modulo 4 and
        # rolls 1, the 100 trap, whose message has no trailing blank.
        run = self.game("1\nup\nNO\nESC\n", seed=551)
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout,
                         MENU + PROMPT + "key: up\n現在の座標は(13,2)です。\n"
                         + "トラップが発動した。100のダメージ\nPLAYERのHP:1\n"
                         + "BOSSと戦いますか？(YES/NO) \n" + PROMPT + CLOSING)


if __name__ == "__main__":
    unittest.main()
