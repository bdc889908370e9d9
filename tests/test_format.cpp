// Text format and colours: the font and colour dialogs, Default Format, system colour
// changes, the text margin, and no GDI objects piling up.
#include "tests/support/harness.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"
#include "format/format.h"
#include <iostream>

// What the pane is painted with: the colours MainWindow puts on a device context for
// WM_CTLCOLOREDIT, and the colour of the brush it returns.
struct Painted {
    COLORREF text, back, brush;
};

static Painted PaneColors()
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = (HBRUSH)SendMessageA(MainWindow, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)EditPane);
    LOGBRUSH info = {};
    Painted painted = {GetTextColor(dc), GetBkColor(dc), CLR_INVALID};
    if (GetObjectA(brush, sizeof info, &info) == sizeof info)
        painted.brush = info.lbColor;
    DeleteDC(dc);
    return painted;
}

#define EXPECT_PAINTED(text_, back_)                     \
    do {                                                 \
        Painted painted = PaneColors();                  \
        EXPECT_EQ(painted.text, (COLORREF)(text_));      \
        EXPECT_EQ(painted.back, (COLORREF)(back_));      \
        EXPECT_EQ(painted.brush, (COLORREF)(back_));     \
    } while (0)

static LOGFONTA PaneFont()
{
    LOGFONTA font = {};
    GetObjectA((HFONT)SendMessageA(EditPane, WM_GETFONT, 0, 0), sizeof font, &font);
    return font;
}

// Sets the system window-text and window colours; the platform broadcasts WM_SYSCOLORCHANGE.
static void SetSystemColors(COLORREF text, COLORREF window)
{
    const int elements[] = {COLOR_WINDOWTEXT, COLOR_WINDOW};
    const COLORREF values[] = {text, window};
    SetSysColors(2, elements, values);
    Pump();
}

// Dialog answers. The font dialog picks PickFace (if set) and the listed colour PickColor;
// the colour dialog gets TypedColor typed into its red, green and blue boxes, which showed ShownColor.
static const char *PickFace;
static COLORREF PickColor;
static COLORREF TypedColor, ShownColor;

static void Select(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}

static void PickFont(HWND dialog, int button)
{
    const int faces = 0x470, colors = 0x473;
    if (PickFace) {
        int face = (int)SendDlgItemMessageA(dialog, faces, CB_FINDSTRINGEXACT, -1, (LPARAM)PickFace);
        EXPECT_GE(face, 0) << PickFace << " is not offered";
        Select(dialog, faces, face);
    }
    int count = (int)SendDlgItemMessageA(dialog, colors, CB_GETCOUNT, 0, 0);
    int color = 0;
    while (color < count && (COLORREF)SendDlgItemMessageA(dialog, colors, CB_GETITEMDATA, color, 0) != PickColor)
        color++;
    EXPECT_LT(color, count) << "colour " << std::hex << PickColor << " is not offered";
    Select(dialog, colors, color);
    Click(dialog, button);
}

static void PickFontOk(HWND dialog) { PickFont(dialog, IDOK); }
static void PickFontCancel(HWND dialog) { PickFont(dialog, IDCANCEL); }

static void TypeColor(HWND dialog, int button)
{
    ShownColor = RGB(GetDlgItemInt(dialog, 0x2C2, nullptr, FALSE), GetDlgItemInt(dialog, 0x2C3, nullptr, FALSE),
                     GetDlgItemInt(dialog, 0x2C4, nullptr, FALSE));
    SetDlgItemInt(dialog, 0x2C2, GetRValue(TypedColor), FALSE);
    SetDlgItemInt(dialog, 0x2C3, GetGValue(TypedColor), FALSE);
    SetDlgItemInt(dialog, 0x2C4, GetBValue(TypedColor), FALSE);
    Click(dialog, button);
}

static void TypeColorOk(HWND dialog) { TypeColor(dialog, IDOK); }
static void TypeColorCancel(HWND dialog) { TypeColor(dialog, IDCANCEL); }

static void ChooseTextColor(COLORREF color)
{
    PickFace = nullptr;
    PickColor = color;
    ExpectDialog(PickFontOk);
    SendCommand(IDM_TEXTFORMAT);
}

// The font dialog opens on FontSpec and, for an installed face, gives it back unchanged on OK.
static void ChooseFontFace(const char *face, int height)
{
    lstrcpynA(FontSpec.lfFaceName, face, LF_FACESIZE);
    FontSpec.lfHeight = height;
    ExpectDialog(ClickOk);
    SendCommand(IDM_TEXTFORMAT);
}

static void ChooseBackground(COLORREF color)
{
    TypedColor = color;
    ExpectDialog(TypeColorOk);
    SendCommand(IDM_BACKCOLOR);
}

const COLORREF Black = RGB(0, 0, 0), White = RGB(255, 255, 255), Blue = RGB(0, 0, 255);
const COLORREF Navy = RGB(0, 0, 128), Maroon = RGB(128, 0, 0), Olive = RGB(128, 128, 0);
const COLORREF Slate = RGB(12, 34, 56), Sand = RGB(240, 230, 200), Mint = RGB(200, 240, 210);

// Starts the editor with black on white system colours, whatever an earlier test, maybe one stopped
// half-way, left behind. System colours are shared by every process of the Wine server: CTest runs
// the programs that change them one at a time.
class FormatTest : public EditorTest {
protected:
    void SetUp() override
    {
        SetSystemColors(Black, White);
        EditorTest::SetUp();
    }
};

typedef FormatTest FormatColors;

TEST_F(FormatColors, UnchosenColorsFollowEverySystemChange)
{
    EXPECT_PAINTED(Black, White);
    SetSystemColors(Navy, Sand);
    EXPECT_PAINTED(Navy, Sand);
    SetSystemColors(Maroon, Mint);
    EXPECT_PAINTED(Maroon, Mint);
}

TEST_F(FormatColors, ChosenColorsHoldUntilTheSystemReachesThemThenFollow)
{
    ChooseTextColor(Blue);
    ChooseBackground(Slate);
    EXPECT_PAINTED(Blue, Slate);
    SetSystemColors(Navy, Sand);
    EXPECT_PAINTED(Blue, Slate);
    SetSystemColors(Blue, Slate);   // the system now has the chosen colours: they are released
    EXPECT_PAINTED(Blue, Slate);
    SetSystemColors(Maroon, Mint);
    EXPECT_PAINTED(Maroon, Mint);
}

TEST_F(FormatColors, ChoosingTheSystemColorsMeansFollowingThem)
{
    SetSystemColors(Olive, Sand);
    ChooseTextColor(Olive);
    ChooseBackground(Sand);
    EXPECT_PAINTED(Olive, Sand);
    SetSystemColors(Navy, Mint);
    EXPECT_PAINTED(Navy, Mint);
}

TEST_F(FormatColors, BlackChosenForTextAndBackgroundStaysBlack)
{
    SetSystemColors(Navy, White);
    ChooseTextColor(Black);
    ChooseBackground(Black);
    EXPECT_PAINTED(Black, Black);
    SetSystemColors(Maroon, Sand);
    EXPECT_PAINTED(Black, Black);
}

// The dialogs open on the system's new colours; OK there picks nothing of the user's own.
TEST_F(FormatColors, OkInEitherDialogAfterASystemChangeStillFollowsTheSystem)
{
    SetSystemColors(Navy, Sand);
    ExpectDialog(ClickOk);
    SendCommand(IDM_TEXTFORMAT);
    ExpectDialog(ClickOk);
    SendCommand(IDM_BACKCOLOR);
    EXPECT_PAINTED(Navy, Sand);
    SetSystemColors(Maroon, Mint);
    EXPECT_PAINTED(Maroon, Mint);
}

typedef FormatTest TextFormat;

TEST_F(TextFormat, OkGivesThePaneTheFontAndColorOfTheDialog)
{
    ChooseFontFace("DejaVu Sans Mono", -20);
    EXPECT_STREQ(PaneFont().lfFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(PaneFont().lfHeight, -20);
    EXPECT_PAINTED(Black, White);

    PickFace = "DejaVu Serif";
    PickColor = Maroon;
    ExpectDialog(PickFontOk);
    SendCommand(IDM_TEXTFORMAT);
    EXPECT_STREQ(PaneFont().lfFaceName, "DejaVu Serif");
    EXPECT_PAINTED(Maroon, White);
}

TEST_F(TextFormat, CancelOfEitherDialogChangesNothing)
{
    ChooseFontFace("DejaVu Sans Mono", -20);
    ChooseTextColor(Blue);
    ChooseBackground(Slate);
    PickFace = "DejaVu Serif";   // what the dialogs are given before Cancel
    PickColor = Maroon;
    TypedColor = Mint;
    const struct { WORD command; BoxAction cancel; } rows[] = {
        {IDM_TEXTFORMAT, PickFontCancel}, {IDM_BACKCOLOR, TypeColorCancel}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.command);
        ExpectDialog(row.cancel);
        SendCommand(row.command);
        EXPECT_STREQ(PaneFont().lfFaceName, "DejaVu Sans Mono");
        EXPECT_EQ(PaneFont().lfHeight, -20);
        EXPECT_PAINTED(Blue, Slate);
    }
    EXPECT_EQ(ShownColor, Slate) << "the colour dialog opened on the background";
    EXPECT_EQ(Boxes().size(), 5u);
}

// Big and small fonts in turn: the pane trims its text rectangle to whole lines of each.
TEST_F(TextFormat, EveryFontChangeKeepsTheText4PixelsIn)
{
    struct Row { const char *face; int height; };
    const Row rows[] = {{"DejaVu Sans", -37}, {"DejaVu Sans", -13}, {"DejaVu Serif", -37}, {"DejaVu Sans Mono", -8},
                        {"DejaVu Sans", -37}, {"DejaVu Sans", -13}, {"DejaVu Serif", -51}, {"DejaVu Sans", -13}};
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.face << " " << row.height);
        ChooseFontFace(row.face, row.height);
        ASSERT_STREQ(PaneFont().lfFaceName, row.face);
        ExpectTextIn4Pixels();
    }
}

// Neither New (after No to its prompt) nor Open resets the font, the colours or the choices behind them.
TEST_F(TextFormat, NewAndOpenKeepTheFormat)
{
    std::string path = TempPath("other.brv");
    WriteBytes(path, "another document");
    ChooseFontFace("DejaVu Serif", -24);
    ChooseTextColor(Navy);
    ChooseBackground(Sand);
    HGDIOBJ font = (HGDIOBJ)SendMessageA(EditPane, WM_GETFONT, 0, 0);
    TypeText("scratch");
    ExpectBox(IDNO);
    SendCommand(IDM_NEW);
    for (bool opened : {false, true}) {
        SCOPED_TRACE(opened ? "after Open" : "after New");
        if (opened) {
            ExpectFileDialog(path);
            SendCommand(IDM_OPEN);
            ASSERT_EQ(PaneText(), "another document");
        }
        EXPECT_STREQ(PaneFont().lfFaceName, "DejaVu Serif");
        EXPECT_EQ(PaneFont().lfHeight, -24);
        EXPECT_EQ((HGDIOBJ)SendMessageA(EditPane, WM_GETFONT, 0, 0), font);
        EXPECT_EQ(TextColor, Navy);
        EXPECT_EQ(BackColor, Sand);
        EXPECT_PAINTED(Navy, Sand);
    }
}

typedef FormatTest DefaultFormat;

TEST_F(DefaultFormat, ConfirmedGivesTheStockFontAndSystemColorsBack)
{
    LOGFONTA stock = {};
    GetObjectA(GetStockObject(DEVICE_DEFAULT_FONT), sizeof stock, &stock);
    ChooseFontFace("DejaVu Sans Mono", -20);
    ChooseTextColor(Blue);
    ChooseBackground(Black);
    ClearBoxes();
    ExpectBox(IDOK);
    SendCommand(IDM_DEFAULTFORMAT);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(IsMessage(Boxes()[0], DefaultQuestion, "Untitled"));
    EXPECT_STREQ(PaneFont().lfFaceName, stock.lfFaceName);
    EXPECT_EQ(PaneFont().lfHeight, stock.lfHeight);
    EXPECT_PAINTED(Black, White);
    SetSystemColors(Navy, Sand);
    EXPECT_PAINTED(Navy, Sand);
}

TEST_F(DefaultFormat, CancelledChangesNothingAndTheQuestionComesEveryTime)
{
    ChooseFontFace("DejaVu Sans Mono", -20);
    ChooseTextColor(Maroon);
    ChooseBackground(Mint);
    ClearBoxes();
    for (int i = 0; i < 2; i++) {
        ExpectBox(IDCANCEL);
        SendCommand(IDM_DEFAULTFORMAT);
        EXPECT_STREQ(PaneFont().lfFaceName, "DejaVu Sans Mono");
        EXPECT_PAINTED(Maroon, Mint);
    }
    ExpectBox(IDOK);
    SendCommand(IDM_DEFAULTFORMAT);
    ExpectBox(IDOK);
    SendCommand(IDM_DEFAULTFORMAT);   // already the default, asked all the same
    ASSERT_EQ(Boxes().size(), 4u);
    for (const SeenBox &box : Boxes())
        EXPECT_TRUE(IsMessage(box, DefaultQuestion, "Untitled"));
}

// Live GDI objects of this process. Wine's GetGuiResources always reports 0, but its GDI
// handle table takes a bare slot number for a handle, so the occupied slots can be counted.
static int GdiObjectCount()
{
    int count = (int)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count)
        return count;
    for (ULONG_PTR slot = 0x20; slot < 0x20 + 0x4000; slot++)
        count += GetObjectType((HGDIOBJ)slot) != 0;
    return count;
}

static void FormatRound()
{
    ExpectDialog(ClickOk);
    SendCommand(IDM_TEXTFORMAT);
    ExpectDialog(ClickOk);
    SendCommand(IDM_BACKCOLOR);
    ExpectBox(IDOK);
    SendCommand(IDM_DEFAULTFORMAT);
}

TEST_F(DefaultFormat, FormatCommandsLeaveNoGdiObjectsBehind)
{
    HBRUSH probe = CreateSolidBrush(Slate);
    int withProbe = GdiObjectCount();
    DeleteObject(probe);
    ASSERT_EQ(GdiObjectCount(), withProbe - 1) << "the count does not see objects come and go";

    // The first message box loads objects the platform keeps for later boxes.
    FormatRound();
    HGDIOBJ oldFont = (HGDIOBJ)SendMessageA(EditPane, WM_GETFONT, 0, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBrush = (HGDIOBJ)SendMessageA(MainWindow, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)EditPane);
    DeleteDC(dc);
    // Twelve rounds: a leak of even one object a round shows, and the font dialog is slow under Wine.
    const int rounds = 12;
    int before = GdiObjectCount();
    for (int i = 0; i < rounds; i++)
        FormatRound();
    int after = GdiObjectCount();
    std::cout << "GDI objects before " << rounds << " format rounds: " << before << ", after: " << after << std::endl;
    RecordProperty("GdiObjectsBefore", before);
    RecordProperty("GdiObjectsAfter", after);
    // Wine makes the odd object of its own on first use (seen: one, once, under load); a leak in the
    // commands grows with the rounds, one object a round or more.
    EXPECT_LT(after - before, rounds / 2);
    EXPECT_EQ(GetObjectType(oldFont), 0u) << "a replaced font is still alive";
    EXPECT_EQ(GetObjectType(oldBrush), 0u) << "a replaced brush is still alive";
    EXPECT_EQ(Boxes().size(), 3u * (rounds + 1));
}
