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
ATTACK = "攻撃力ボーナスを入力せよ(0-999) [%d]\n"
DEFENCE = "防御力ボーナスを入力せよ(0-999) [%d]\n"
ITEMS = "槍\n2 0\n盾\n0 3\n指輪　の　力\n1 1\n\n"


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
        rule27 = "-" * 27 + "\n"
        # Each question shows the starter item's value.
        items = ("itemedit\n" + "".join("ITEMINDEX%d:\n名前を入力せよ [%s]\n入力可能文字数内です。\n" % (k, name)
                                        + ATTACK % attack + DEFENCE % defence
                                        for k, name, attack, defence in ((1, "pike", 2, 0), (2, "sword", 2, 0)))
                 + "ITEMINDEX3:\n名前を入力せよ [armor]\n入力可能文字数内です。\n" + ATTACK % 0
                 + "0から999までの数を入力してください。\n" + ATTACK % 0 + DEFENCE % 3
                 + "finish\n" + rule27 + "EDIT ITEM IS...\n"
                 + "ITEMINDEX1:\nNAME:槍\nAP:2\nDP:0\nITEMINDEX2:\nNAME:盾\nAP:0\nDP:3\n"
                 + "ITEMINDEX3:\nNAME:指輪　の　力\nAP:1\nDP:1\n" + rule27 + "finish\n" + PAUSE)
        stats = "".join("%sを入力せよ(1-999)\n" % s for s in ("HP", "AP", "DP", "SP"))
        player = ("playeredit\n" + "".join("%sを入力せよ(1-999) [%d]\n" % q for q in zip(("HP", "AP", "DP", "SP"), (5, 4, 6, 3)))
                  + "finish\n" + rule27 + "EDIT PLAYER IS...\n"
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


class ItemAndPlayerDialogues(ProgramTest):
    def test_empty_answers_keep_the_stored_values_and_one_answer_changes_one(self):
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", "120 15 10 8\n\n")
        # Every answer empty; a blank name is an empty one too.
        run = self.editor("2\n\n\n\n　\n\n\n\n\n\n3\n\n\n\n\n7\n")
        self.assertEqual(run.status, 0)
        self.assertIn(cp932("ITEMINDEX2:\n名前を入力せよ [盾]\n" + ATTACK % 0 + DEFENCE % 3
                            + "ITEMINDEX3:\n名前を入力せよ [指輪　の　力]\n"), run.stdout)
        self.assertIn(cp932("HPを入力せよ(1-999) [120]\nAPを入力せよ(1-999) [15]\n"), run.stdout)
        self.assertBytes(self.read_file("editequipment"), ITEMS)
        self.assertBytes(self.read_file("editplayer"), "120 15 10 8\n\n")
        run = self.editor("2\n\n\n\n\n\n7\n\n\n\n3\n\n\n\n9\n7\n")
        self.assertEqual(run.status, 0)
        self.assertBytes(self.read_file("editequipment"), ITEMS.replace("0 3", "0 7"))
        self.assertBytes(self.read_file("editplayer"), "120 15 10 9\n\n")

    def test_a_damaged_file_starts_from_the_starter_values(self):
        self.write_file("editequipment", "槍 2\n")
        self.write_file("editplayer", "1 2 x 4\n")
        run = self.editor("2\n" + "\n" * 9 + "3\n" + "\n" * 4 + "7\n")
        self.assertEqual(run.status, 0)
        self.assertIn(cp932("itemedit\nITEMINDEX1:\n名前を入力せよ [pike]\n"), run.stdout)
        self.assertBytes(self.read_file("editequipment"), "pike\n2 0\nsword\n2 0\narmor\n0 3\n\n")
        self.assertBytes(self.read_file("editplayer"), "5 4 6 3\n\n")


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
        self.assertBytes(run.stdout, MENU + "playeredit\nHPを入力せよ(1-999) [7]\nAPを入力せよ(1-999) [8]\n"
                         "DPを入力せよ(1-999) [9]\n" + ENDED)
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
