"""What a screen reader in another process finds of the real program under
Wine: the window's UI Automation element.

Wine 8 does not carry pattern calls across processes (UiaGetPatternProvider
is unimplemented), so the text pattern itself is proven in winsim, by
tests/accessibility_test.cpp.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402

DOCUMENT = 50030  # UIA_DocumentControlTypeId


class WindowElement(editor.ProgramTest):
    LOG = "screen-reader.log"

    def test_a_client_finds_a_focused_document_named_after_the_caption(self):
        self.session.focus(self.x_window)
        seen = []

        def focused_element():
            seen.append(self.session.uia_element(self.main))
            return seen[-1] is not None and seen[-1][3]

        try:
            winelib.wait_until("the window's element to report the focus", focused_element, timeout=20)
        except winelib.Timeout as timeout:
            self.fail(f"{timeout}; UI Automation last gave {seen[-1]}")
        self.assertEqual(seen[-1], (DOCUMENT, editor.TITLE, True, True),
                         "control type, name, focusable, focused")


if __name__ == "__main__":
    unittest.main()
