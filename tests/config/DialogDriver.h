// Runs the configuration dialog modally in the test process and plays a
// script of user actions into it, one step per timer tick, the way a user
// would: keys and clicks posted to the controls, the close box, and so on.
// Every run has a deadline: a dialog still open after the script ends is
// closed with DialogStillOpen so the test fails instead of hanging.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

constexpr INT_PTR DialogStillOpen = 99;

using DialogStep = std::function<void(HWND dialog)>;

INT_PTR RunConfigDialog(const std::vector<DialogStep>& steps);

// Observations, to make from inside a step (any function of the dialog).
std::vector<std::string> ListTexts(HWND dialog, int listId);
int ListSelection(HWND dialog, int listId);
int TrackbarPosition(HWND dialog);

// User actions: each posts real input messages and returns at once; the
// next step runs after the dialog has handled them.
DialogStep PressKey(int virtualKey);                   // to the focused control
DialogStep PressKeyOn(int controlId, int virtualKey);  // focus the control first
DialogStep ChooseInList(int listId, int index);        // Home, then Down index times
DialogStep ClickButton(int buttonId);                  // mouse press and release
DialogStep ClickCloseBox();
