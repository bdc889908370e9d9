// Commands and menu state: menu and shortcut commands to actions, menu entries enabled or greyed.
#pragma once
#include <windows.h>

void DoCommand(WORD command);
void DoControlNotify(WORD control, LPARAM controlWindow, WORD code);

void DoInitMenuPopup(HMENU menu, WORD index, WORD isWindowMenu);
void InitFileMenu(HMENU menu);
void InitEditMenu(HMENU menu);
void InitFormatMenu(HMENU menu);
void InitHelpMenu(HMENU menu);
