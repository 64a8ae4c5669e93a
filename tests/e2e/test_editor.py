"""The editor's menu, dialogues, listings, files and command line."""
import os
import unittest

from harness import PAUSE, RUNEWRIGHT, ProgramTest, cp as cp932

MENU = ("-" * 26 + "\nWelcome to Edit mode...\n1:ENEMY EDIT\n2:ITEM EDIT\n3:CHARACTER EDIT\n"
        "4:DISPLAY ENEMY STATUS\n5:DISPLAY ITEM STATUS\n6:DISPLAY CHARACTER STATUS\n"
        "7:EXIT EDIT MODE\n" + "-" * 26 + "\nChoose list number and enter... : ")
REFUSAL = "please enter the number(1-7)\n"
ENDED = "入力が終わったため、何も書き込まずに終了します。\n"
ENEMIES = ("10 5 3 2\neditmonster1\n20 6 4 3\nゴブリン\n30 7 5 4\nオーク\n"
           "40 8 6 5\nトロル\n50 9 7 6\n竜\n\n")
NAME_OK = "名前を入力せよ\n入力可能文字数内です。\n"
STARTER_FILES = ("editenemy", "editequipment", "editplayer")


def created(*names):
    """The editor's start-up lines for the files it had to create."""
    return "".join("%sを初期データで作成しました。\n" % name for name in names)


def enemy_list(rows):
    lines = ["-" * 35, "一覧を表示します。"]
    for k, (name, hp, ap, dp, sp) in enumerate(rows, 1):
        lines += ["ENEMY INDEX%d" % k, "name:%s hp:%d ap:%d dp:%d sp:%d" % (name, hp, ap, dp, sp)]
    return "\n".join(lines + ["-" * 35]) + "\n"


ROWS = [("editmonster1", 10, 5, 3, 2), ("ゴブリン", 20, 6, 4, 3), ("オーク", 30, 7, 5, 4),
        ("トロル", 40, 8, 6, 5), ("竜", 50, 9, 7, 6)]


class WholeSession(ProgramTest):
    def test_all_seven_choices(self):
        self.write_file("editenemy", ENEMIES)
        script = ("2\n 　槍\n2\n0\n盾\n0\n3\n指輪　の　力\n01\n1\n1\n"
                  "3\n120\n15\n10\n8\n"
                  "4\n5\n6\n"
                  "1\n999\n50\n40\n5 \n30\n 　魔王　\n0\n5\n"
                  "4\n7\n")
        run = self.editor(script)
        self.assertEqual(run.status, 0)
        bonus = "攻撃力ボーナスを入力せよ(0-999)\n防御力ボーナスを入力せよ(0-999)\n"
        rule27 = "-" * 27 + "\n"
        items = ("itemedit\n" + "".join("ITEMINDEX%d:\n" % k + NAME_OK + bonus for k in (1, 2))
                 + "ITEMINDEX3:\n" + NAME_OK + "攻撃力ボーナスを入力せよ(0-999)\n" + bonus
                 + "finish\n" + rule27 + "EDIT ITEM IS...\n"
                 + "ITEMINDEX1:\nNAME:槍\nAP:2\nDP:0\nITEMINDEX2:\nNAME:盾\nAP:0\nDP:3\n"
                 + "ITEMINDEX3:\nNAME:指輪　の　力\nAP:1\nDP:1\n" + rule27 + "finish\n" + PAUSE)
        stats = "".join("%sを入力せよ(1-999)\n" % s for s in ("HP", "AP", "DP", "SP"))
        player = ("playeredit\n" + stats + "finish\n" + rule27 + "EDIT PLAYER IS...\n"
                  "HP:120\nAP:15\nDP:10\nSP:8\n" + rule27 + "finish\n" + PAUSE)
        item_list = ("-" * 35 + "\n一覧を表示します。\nITEMINDEX1:\nname:槍 ap:2 dp:0\n"
                     "ITEMINDEX2:\nname:盾 ap:0 dp:3\nITEMINDEX3:\nname:指輪　の　力 ap:1 dp:1\n"
                     + "-" * 35 + "\n" + PAUSE)
        player_list = ("-" * 56 + "\nPLAYERのステータスを表示します。\nHP:120 AP:15 DP:10 SP:8\n"
                       + "-" * 56 + "\n" + PAUSE)
        new_rows = ROWS[:4] + [("魔王", 999, 50, 40, 30)]
        enemy = ("enemyedit\n" + stats + "SPを入力せよ(1-999)\n" + NAME_OK + "finish\n" + rule27
                 + "EDIT ENEMY IS...\nHP:999\nAP:50\nDP:40\nSP:30\nNAME:魔王\n" + rule27
                 + enemy_list(ROWS) + "-" * 68 + "\n何番にエディトデータをセットしますか？\n"
                 "1:INDEX1, 2:INDEX2, 3:INDEX3, 4:INDEX4, 5:INDEX5, 6:NOT CHANGE(やっぱりやめる)\n"
                 + "-" * 68 + "\nplease enter the number(1-6)\nfinish\n" + PAUSE)
        actions = [items, player, enemy_list(ROWS) + PAUSE, item_list, player_list, enemy,
                   enemy_list(new_rows) + PAUSE]
        self.assertBytes(run.stdout, created("editequipment", "editplayer")
                         + "".join(MENU + a + "finish\n" for a in actions) + MENU)
        self.assertEqual(run.stderr, b"")
        self.assertBytes(self.read_file("editequipment"), "槍\n2 0\n盾\n0 3\n指輪　の　力\n1 1\n\n")
        self.assertBytes(self.read_file("editplayer"), "120 15 10 8\n\n")
        self.assertBytes(self.read_file("editenemy"), ENEMIES.replace("50 9 7 6\n竜", "999 50 40 30\n魔王"))


class MenuAnswers(ProgramTest):
    def test_refused_answers_show_the_menu_again(self):
        run = self.editor("0\n8\na\n\n07\n12\n1 \n7\n")
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout, created(*STARTER_FILES) + (MENU + REFUSAL) * 7 + MENU)

    def test_end_of_input_at_the_menu_ends_as_choice_7(self):
        for script in ("", "a\n", "7"):
            with self.subTest(script=script):
                missing = [n for n in STARTER_FILES if not os.path.exists(self.path(n))]
                run = self.editor(script)
                self.assertEqual(run.status, 0)
                self.assertBytes(run.stdout, created(*missing)
                                 + (MENU + REFUSAL) * script.count("a") + MENU)

    def test_end_of_input_inside_a_dialogue_writes_nothing(self):
        self.write_file("editenemy", ENEMIES)
        self.write_file("editequipment", "pike 2 0 sword 2 0 armor 0 3")
        self.write_file("editplayer", "7 8 9 10")
        run = self.editor("3\n10\n20\n")
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, MENU + "playeredit\nHPを入力せよ(1-999)\nAPを入力せよ(1-999)\n"
                         "DPを入力せよ(1-999)\n" + ENDED)
        self.assertBytes(self.read_file("editplayer"), "7 8 9 10")
        self.assertEqual(sorted(os.listdir(self.folder)), list(STARTER_FILES))


class StarterFiles(ProgramTest):
    def test_only_missing_files_are_created_and_existing_ones_kept(self):
        self.write_file("editequipment", "槍 1 1\r\n盾 0 2 指輪 3 3")
        run = self.editor("7\n")
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout, created("editenemy", "editplayer") + MENU)
        self.assertBytes(self.read_file("editequipment"), "槍 1 1\r\n盾 0 2 指輪 3 3")
        self.assertBytes(self.read_file("editplayer"), "5 4 6 3\n\n")
        self.assertEqual(sorted(os.listdir(self.folder)), list(STARTER_FILES))

    def test_starter_files_are_listed_and_read_back(self):
        run = self.editor("5\n6\n7\n")
        self.assertEqual(run.status, 0)
        self.assertIn(cp932("ITEMINDEX1:\nname:pike ap:2 dp:0\nITEMINDEX2:\nname:sword ap:2 dp:0\n"
                            "ITEMINDEX3:\nname:armor ap:0 dp:3\n"), run.stdout)
        self.assertIn(cp932("HP:5 AP:4 DP:6 SP:3\n"), run.stdout)
        # Running again creates nothing more.
        again = self.editor("7\n")
        self.assertBytes(again.stdout, MENU)


class CommandLine(ProgramTest):
    def test_help_and_version_print_and_create_nothing(self):
        for flag, start in (("--help", b"Usage: runewright"), ("--version", b"runewright ")):
            run = self.run_program(RUNEWRIGHT, [flag], "1\n")
            self.assertEqual(run.status, 0)
            self.assertTrue(run.stdout.startswith(start))
            self.assertEqual(run.stderr, b"")
            self.assertEqual(os.listdir(self.folder), [])

    def test_other_arguments_are_usage_errors(self):
        for args in (["--bogus"], ["7"], ["--help", "x"], ["-h"]):
            with self.subTest(args=args):
                run = self.run_program(RUNEWRIGHT, args, "7\n")
                self.assertEqual(run.status, 2)
                self.assertEqual(run.stdout, b"")
                self.assertIn(b"Usage: runewright", run.stderr)


if __name__ == "__main__":
    unittest.main()
