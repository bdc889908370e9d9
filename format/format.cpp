// Font and colours of the edit pane; colours the user has not set follow the system's.
#include "format/format.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"

HFONT        DefaultFont;
LOGFONTA     FontSpec;
HFONT        CurrentFont;
COLORREF     TextColor = FollowSystem;
COLORREF     BackColor = FollowSystem;
HBRUSH       BackBrush;
CHOOSEFONTA  FontDialog;
CHOOSECOLORA ColorDialog;
COLORREF     CustomColors[16];

static COLORREF TextColorInEffect()
{
    return TextColor != FollowSystem ? TextColor : GetSysColor(COLOR_WINDOWTEXT);
}

static COLORREF BackColorInEffect()
{
    return BackColor != FollowSystem ? BackColor : GetSysColor(COLOR_WINDOW);
}

// A chosen colour equal to the system's follows the system from then on.
static COLORREF ColorOrFollow(COLORREF chosen, int systemIndex)
{
    return chosen != GetSysColor(systemIndex) ? chosen : FollowSystem;
}

// At WM_CREATE CurrentFont is still null, so the pane starts with the system font.
void SetUpFormat()
{
    SendMessageA(EditPane, WM_SETFONT, (WPARAM)CurrentFont, FALSE);
    BackBrush = CreateSolidBrush(BackColorInEffect());
}

void CleanUpFormat()
{
    DeleteObject(BackBrush);
}

// The font is made here but not given to the pane until the first format command.
void InitFormat()
{
    DefaultFont = (HFONT)GetStockObject(DEVICE_DEFAULT_FONT);
    GetObjectA(DefaultFont, sizeof FontSpec, &FontSpec);
    CurrentFont = CreateFontIndirectA(&FontSpec);
    FontDialog = CHOOSEFONTA{};
    FontDialog.lStructSize = sizeof FontDialog;
    FontDialog.hwndOwner = MainWindow;
    FontDialog.lpLogFont = &FontSpec;
    FontDialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    FontDialog.rgbColors = GetSysColor(COLOR_WINDOWTEXT);
    FontDialog.hInstance = Instance;
    TextColor = FollowSystem;
}

void InitColorDialog()
{
    ColorDialog = CHOOSECOLORA{};
    ColorDialog.lStructSize = sizeof ColorDialog;
    ColorDialog.hwndOwner = MainWindow;
    ColorDialog.hInstance = (HWND)Instance;
    ColorDialog.rgbResult = GetSysColor(COLOR_WINDOW);
    ColorDialog.lpCustColors = CustomColors;
    ColorDialog.Flags = CC_RGBINIT;
    BackColor = FollowSystem;
}

void ChooseTextFormat()
{
    if (Comdlg32::ChooseFontA(&FontDialog))
        ApplyTextFormat();
}

// A new font resets the pane's text rectangle and may give it margins of the font's
// own; the 4-pixel margin is laid out again from the pane's client area.
void ApplyTextFormat()
{
    DeleteObject(CurrentFont);
    CurrentFont = CreateFontIndirectA(&FontSpec);
    SendMessageA(EditPane, WM_SETFONT, (WPARAM)CurrentFont, TRUE);
    TextColor = ColorOrFollow(FontDialog.rgbColors, COLOR_WINDOWTEXT);
    SendMessageA(EditPane, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetTextMargin();
}

void ChooseBackColor()
{
    if (Comdlg32::ChooseColorA(&ColorDialog))
        ApplyBackColor();
}

// The brush takes the chosen colour itself, also when that colour now follows the system.
void ApplyBackColor()
{
    COLORREF chosen = ColorDialog.rgbResult;
    BackColor = ColorOrFollow(chosen, COLOR_WINDOW);
    DeleteObject(BackBrush);
    BackBrush = CreateSolidBrush(chosen);
    InvalidateRect(EditPane, nullptr, TRUE);
}

// Asked every time, whether or not the format differs from the default.
void RestoreDefaultFormat()
{
    if (ShowMessage(IDS_DEFAULTPROMPT, MB_ICONQUESTION, MB_OKCANCEL, QueryCaption, DocTitle) != IDOK)
        return;
    GetObjectA(DefaultFont, sizeof FontSpec, &FontSpec);
    FontDialog.rgbColors = GetSysColor(COLOR_WINDOWTEXT);
    ColorDialog.rgbResult = GetSysColor(COLOR_WINDOW);
    ApplyTextFormat();
    ApplyBackColor();
}

HBRUSH DoCtlColorEdit(HDC dc)
{
    SetTextColor(dc, TextColorInEffect());
    SetBkColor(dc, BackColorInEffect());
    return BackBrush;
}

// Colours that follow the system take the new ones; a user colour that now equals
// the system's is released to follow it.
void DoSysColorChange()
{
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF back = GetSysColor(COLOR_WINDOW);
    if (TextColor == FollowSystem)
        FontDialog.rgbColors = text;
    else if (TextColor == text)
        TextColor = FollowSystem;
    if (BackColor == FollowSystem) {
        ColorDialog.rgbResult = back;
        DeleteObject(BackBrush);
        BackBrush = CreateSolidBrush(back);
    } else if (BackColor == back) {
        BackColor = FollowSystem;
    }
    InvalidateRect(MainWindow, nullptr, TRUE);
}
