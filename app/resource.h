// Brevitor resource identifiers, shared by the resource script and the code.
#pragma once
// clang-format off

// Resources
#define IDR_MAIN                1000

// Child windows
#define IDC_EDIT                1000

// Strings
#define IDS_APPNAME             1001
#define IDS_UNTITLED            1002
#define IDS_FILTER              1003
#define IDS_DEFEXT              1004
#define IDS_SAVEPROMPT          2001
#define IDS_REVERTPROMPT        2002
#define IDS_DEFAULTPROMPT       2003
#define IDS_TOOLONG             2004
#define IDS_IOERROR             2005
#define IDS_NULBYTE             2006
#define IDS_CHANGEDPROMPT       2007
#define IDS_REREADPROMPT        2008
#define IDS_REREADLOSEPROMPT    2009

// File menu
#define IDM_NEW                 1001
#define IDM_OPEN                1002
#define IDM_CLOSE               1003
#define IDM_SAVE                1004
#define IDM_SAVEAS              1005
#define IDM_REVERT              1006
#define IDM_PAGESETUP           1007
#define IDM_PRINT               1008
#define IDM_EXIT                1009

// Edit menu
#define IDM_UNDO                1101
#define IDM_CUT                 1102
#define IDM_COPY                1103
#define IDM_PASTE               1104
#define IDM_DELETE              1105
#define IDM_SELECTALL           1106

// Format menu
#define IDM_TEXTFORMAT          1201
#define IDM_DEFAULTFORMAT       1202
#define IDM_BACKCOLOR           1203

// Help menu
#define IDM_HELP                1301
#define IDM_ABOUT               1302
// clang-format on
