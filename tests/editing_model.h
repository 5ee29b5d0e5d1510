// An independent model of what the editing keys and commands do to the
// text, for the random-editing test and the message fuzz target.
#ifndef INKWARDEN_EDITING_MODEL_H
#define INKWARDEN_EDITING_MODEL_H

#include <string>

struct Model {
    std::u16string text;
    int caret = 0;
    bool selection = false;
    int selStart = 0;
    int selEnd = 0;
};

// The program's text, caret and selection as they stand.
Model FromProgram(void);

// Puts units in place of start to end - 1 and the caret after them.
void Replace(Model &m, int start, int end, const std::u16string &units);

// What an editing key does to the text, from the state before the key: key 0
// types the unit typed; VK_RETURN, VK_TAB, VK_BACK and VK_DELETE as pressed.
void ApplyEdit(Model &m, int key, char16_t typed);

#endif
