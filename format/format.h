// Text format and colours: one font, one text colour and one background for the whole pane.
#pragma once
#include <windows.h>
#include <commdlg.h>

// Marks a colour that follows the system colour; no chosen colour, black included, can take it.
const COLORREF FollowSystem = CLR_INVALID;

extern HFONT        DefaultFont;      // the stock device-default font
extern LOGFONTA     FontSpec;         // the pane's font description, edited in place by the font dialog
extern HFONT        CurrentFont;      // font made from FontSpec; null until InitFormat
extern COLORREF     TextColor;        // the user's text colour, or FollowSystem
extern COLORREF     BackColor;        // the user's background colour, or FollowSystem
extern HBRUSH       BackBrush;        // paints the pane's background
extern CHOOSEFONTA  FontDialog;       // the one font dialog record; rgbColors carries the text colour
extern CHOOSECOLORA ColorDialog;      // the one colour dialog record; rgbResult carries the background
extern COLORREF     CustomColors[16]; // the colour dialog's custom colours, kept for the run

void   SetUpFormat();
void   CleanUpFormat();
void   InitFormat();
void   InitColorDialog();
void   ChooseTextFormat();
void   ApplyTextFormat();
void   ChooseBackColor();
void   ApplyBackColor();
void   RestoreDefaultFormat();
HBRUSH DoCtlColorEdit(HDC dc);
void   DoSysColorChange();
