"""The editor's files played by the game, and names typed on a UTF-8 console."""
import unittest

from harness import RUNEWRIGHT, ProgramTest, draws

UTF8 = {"LC_ALL": "C.UTF-8"}
MENU_EXIT = "7\n"


def u8(text):
    """What a UTF-8 console sends."""
    return text.encode("utf-8")


def boss_seed():
    """A seed whose goal is (13,2), one step up from the start, with no event on that step."""
    for seed in range(1, 200000):
        d = draws(seed, 3)
        if (d[0] % 25 + 1, d[1] % 25 + 1) == (13, 2) and d[2] % 4 != 0:
            return seed
    raise AssertionError("no seed found")


class EditedBossIsFought(ProgramTest):
    def test_enemy_written_into_slot_5_is_the_boss(self):
        # Typed in UTF-8: the editor stores cp932, the game shows UTF-8 again.
        name = "影の魔王"
        edit = self.editor(u8("1\n1\n1\n1\n1\n " + name + "　\n5\n" + MENU_EXIT), env=UTF8)
        self.assertEqual(edit.status, 0)
        stored = self.read_file("editenemy").split(b"\n")
        self.assertEqual(stored[8:11], [b"1 1 1 1", name.encode("cp932"), b""])

        run = self.game("2\nup\nYES\n", seed=boss_seed(), env=UTF8)
        self.assertEqual(run.status, 0)
        text = run.stdout.decode("utf-8")
        # The player (SP 3) strikes first and any blow fells a boss of 1 HP.
        self.assertIn("BOSSと戦いますか？(YES/NO) \n", text)
        self.assertIn(name + "が現れました。\n戦闘態勢に入った。\n自分が先制だ。\nPLAYERのHP:5\n", text)
        self.assertIn("PLAYERの勝利\n70の経験値を得た。\n", text)
        self.assertIn("lvが上がった。", text)  # 70 experience brings a level-up
        self.assertTrue(text.endswith("Your mission is clear!\ngameover... thank you playing !\n"
                                      "続行するには何かキーを押してください . . . \n"))


class Utf8Names(ProgramTest):
    def enemy_name(self, typed):
        """Enters an enemy named `typed` on a UTF-8 console into slot 1; the editor's output."""
        self.editor(MENU_EXIT)  # the starter files
        return self.editor(u8("1\n5\n5\n5\n5\n" + typed + "\n1\n4\n" + MENU_EXIT), env=UTF8)

    def test_29_cp932_bytes_pass_and_30_do_not(self):
        fits = "あ" * 14 + "a"
        run = self.enemy_name(fits)
        self.assertEqual(run.status, 0)
        self.assertIn(("name:%s hp:5 ap:5 dp:5 sp:5\n" % fits).encode("utf-8"), run.stdout)
        self.assertEqual(self.read_file("editenemy").split(b"\n")[1], fits.encode("cp932"))

        too_long = "あ" * 15
        run = self.editor(u8("1\n5\n5\n5\n5\n" + too_long + "\nok\n6\n" + MENU_EXIT), env=UTF8)
        self.assertEqual(run.status, 0)
        self.assertIn("名前を入力せよ\n入力可能文字数外です。:\n入力可能文字数内です。\n".encode("utf-8"),
                      run.stdout)

    def test_a_name_that_loses_a_character_to_cp932_is_refused(self):
        # 😀 has no cp932 form: stored as "?", the name would not be the one typed.
        run = self.enemy_name("竜😀王\n竜王")
        self.assertEqual(run.status, 0)
        self.assertIn(u8("名前を入力せよ\n使えない文字が含まれています。:\n入力可能文字数内です。\n"),
                      run.stdout)
        self.assertEqual(self.read_file("editenemy").split(b"\n")[1], "竜王".encode("cp932"))

    def test_invalid_bytes_in_a_file_are_shown_as_replacement_characters(self):
        self.editor(MENU_EXIT)
        # 0x81 0x20 is a lead byte followed by a blank: the name ends after the lone lead byte.
        self.write_file("editenemy", b"1 2 3 4 ab\x81\n5 6 7 8 \xa0\xfd\n" + b"1 1 1 1 x\n" * 3)
        run = self.editor("4\n" + MENU_EXIT, env=UTF8)
        self.assertEqual(run.status, 0)
        self.assertIn("name:ab\ufffd hp:1".encode("utf-8"), run.stdout)
        # 0xA0 and 0xFD are no cp932 characters at all.
        self.assertIn("ENEMY INDEX2\nname:\ufffd\ufffd hp:5".encode("utf-8"), run.stdout)
        run.stdout.decode("utf-8")  # the whole output is valid UTF-8


if __name__ == "__main__":
    unittest.main()
