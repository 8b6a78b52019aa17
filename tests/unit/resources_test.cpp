// Reads the resources back out of the built SETUP.EXE, loaded as a data file:
// the string table, the dialog templates item by item, the bitmaps' formats
// and key colour, and the icon groups.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

HMODULE SetupExe;

class Resources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
        ASSERT_GT(length, 0u);
        char *slash = strrchr(path, '\\');
        ASSERT_NE(slash, nullptr);
        lstrcpynA(slash + 1, "SETUP.EXE", (int)(sizeof path - (slash + 1 - path)));
        SetupExe = LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(SetupExe, nullptr) << "cannot load " << path;
    }
    static void TearDownTestSuite() {
        if (SetupExe)
            FreeLibrary(SetupExe);
        SetupExe = NULL;
    }
    void SetUp() override { ASSERT_NE(SetupExe, nullptr); }
};

const BYTE *ResourceBytes(LPCSTR type, int id, DWORD *size) {
    HRSRC found = FindResourceA(SetupExe, MAKEINTRESOURCEA(id), type);
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(SetupExe, found);
    *size = SizeofResource(SetupExe, found);
    return loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
}

// --- string table ---

struct ExpectedString {
    int id;
    const char *text;
};

const ExpectedString Strings[] = {
    {1, "DiskLabel"},
    {2, "DirectoryName"},
    {3, "FileCounts"},
    {4, "Disk1"},
    {5, "Disk2"},
    {6, "Disk3"},
    {7, "Disk4"},
    {8, "Disk5"},
    {9, "Disk6"},
    {10, "RootDir"},
    {11, "SubDir1"},
    {12, "SubDir2"},
    {13, "SubDir3"},
    {14, "SubDir4"},
    {15, "SubDir5"},
    {16, "SubDir6"},
    {17, "WinDir"},
    {18, "WinSystemDir"},
    {19, "WinInfDir"},
    {20, "SETUP.INF Reading error !"},
    {22, "Main"},
    {23, "DefaultPath"},
    {24, "DefaultINI"},
    {25, "MinimumSpace"},
    {26, "GroupName"},
    {27, "GroupTitle"},
    {28, " installation is not completed !"},
    {29, "Setup Program"},
    {30, "ProductName"},
    {32, "The specified directory is already exist !\nDo you still want to install into this "
         "directory ?"},
    {33, "Can not create directory !\nThe specified directory is either invalid or disk drive "
         "is write protected."},
    {34, "There is no enough free space in the specified disk drive !"},
    {35, "Please insert '%s' into your disk drive !"},
    {36, "Copying "},
    {37, "Reading ..."},
    {38, "Writing ..."},
    {39, "Failed to create a new group !"},
    {40, "PM Info"},
    {41, "Startup"},
    {42, "FileName"},
    {43, "Title"},
    {44, "This  Mouse Setup Program is for Windows 95/98 only !"},
    {45, "Mfg"},
    {46, "MouseDriver"},
    {47, "MouseInf"},
    {48, "DriverDate"},
    {49, "PS2InfSection"},
    {50, "SerialInfSection"},
    {51, "PS2Name"},
    {52, "SeialName"},
    {53, "The Mouse Setup Program has installed driver successfully. You have to restart your "
         "Windows now !"},
};

TEST_F(Resources, EveryStringExactAndShortEnoughForTheTextRing) {
    for (const ExpectedString &s : Strings) {
        char text[1024];
        int length = LoadStringA(SetupExe, s.id, text, sizeof text);
        EXPECT_STREQ(s.text, text) << "string " << s.id;
        EXPECT_LE(length, 127) << "string " << s.id;
    }
    // The ids that the code adds an index to must stay consecutive.
    EXPECT_EQ(IDS_DISK1 + 5, IDS_DISK6);
    EXPECT_EQ(IDS_ROOT_DIR + 9, IDS_WIN_INF_DIR);
}

TEST_F(Resources, NoStringBeyondTheTable) {
    // Ids 21 and 31 are empty, and nothing else hides in the table's blocks.
    for (int id = 0; id < 80; ++id) {
        bool listed = false;
        for (const ExpectedString &s : Strings)
            listed = listed || s.id == id;
        char text[16];
        if (!listed)
            EXPECT_EQ(0, LoadStringA(SetupExe, id, text, sizeof text)) << "string " << id;
    }
}

// --- dialog templates ---

struct Item {
    int id;
    std::string cls;  // upper case; ordinals of the predefined classes as names
    std::string text; // "#n" for a resource ordinal
    DWORD style, exStyle;
    short x, y, cx, cy;
};

struct Template {
    DWORD style, exStyle;
    short x, y, cx, cy;
    std::string menu, cls, caption, face;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::vector<Item> items;
};

// Reads an sz_Or_Ord field; false when it runs past the end.
bool ReadField(const BYTE *data, DWORD size, DWORD *at, std::string *out) {
    out->clear();
    if (*at + 2 > size)
        return false;
    WORD first = *reinterpret_cast<const WORD *>(data + *at);
    if (first == 0xFFFF) {
        if (*at + 4 > size)
            return false;
        *out = "#" + std::to_string(*reinterpret_cast<const WORD *>(data + *at + 2));
        *at += 4;
        return true;
    }
    for (;;) {
        if (*at + 2 > size)
            return false;
        WORD c = *reinterpret_cast<const WORD *>(data + *at);
        *at += 2;
        if (c == 0)
            return true;
        if (c > 0x7F)
            return false; // every text of the catalogue is plain ASCII
        out->push_back(static_cast<char>(c));
    }
}

std::string ClassName(const std::string &raw) {
    static const char *const predefined[] = {"BUTTON",  "EDIT",      "STATIC",
                                             "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (raw.size() > 1 && raw[0] == '#') {
        int ordinal = atoi(raw.c_str() + 1);
        if (ordinal >= 0x80 && ordinal <= 0x85)
            return predefined[ordinal - 0x80];
        return raw;
    }
    std::string upper = raw;
    for (char &c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Parses an extended template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
::testing::AssertionResult ParseTemplate(int id, Template *t) {
    DWORD size = 0;
    const BYTE *data = ResourceBytes(RT_DIALOG, id, &size);
    if (!data)
        return ::testing::AssertionFailure() << "template " << id << " missing";
    if (size < 26)
        return ::testing::AssertionFailure() << "template " << id << " truncated";
    WORD version = *reinterpret_cast<const WORD *>(data);
    WORD signature = *reinterpret_cast<const WORD *>(data + 2);
    if (version != 1 || signature != 0xFFFF)
        return ::testing::AssertionFailure() << "template " << id << " is not DIALOGEX";
    t->exStyle = *reinterpret_cast<const DWORD *>(data + 8);
    t->style = *reinterpret_cast<const DWORD *>(data + 12);
    WORD count = *reinterpret_cast<const WORD *>(data + 16);
    const short *rect = reinterpret_cast<const short *>(data + 18);
    t->x = rect[0], t->y = rect[1], t->cx = rect[2], t->cy = rect[3];
    DWORD at = 26;
    if (!ReadField(data, size, &at, &t->menu) || !ReadField(data, size, &at, &t->cls) ||
        !ReadField(data, size, &at, &t->caption))
        return ::testing::AssertionFailure() << "template " << id << ": bad header strings";
    if (!(t->style & DS_SETFONT) || at + 6 > size)
        return ::testing::AssertionFailure() << "template " << id << ": no font";
    t->pointSize = *reinterpret_cast<const WORD *>(data + at);
    t->weight = *reinterpret_cast<const WORD *>(data + at + 2);
    t->italic = data[at + 4];
    t->charset = data[at + 5];
    at += 6;
    if (!ReadField(data, size, &at, &t->face))
        return ::testing::AssertionFailure() << "template " << id << ": bad face name";
    t->items.clear();
    for (WORD i = 0; i < count; ++i) {
        at = (at + 3) & ~3u;
        if (at + 24 > size)
            return ::testing::AssertionFailure()
                   << "template " << id << ": item " << i << " truncated";
        Item item;
        item.exStyle = *reinterpret_cast<const DWORD *>(data + at + 4);
        item.style = *reinterpret_cast<const DWORD *>(data + at + 8);
        const short *r = reinterpret_cast<const short *>(data + at + 12);
        item.x = r[0], item.y = r[1], item.cx = r[2], item.cy = r[3];
        item.id = static_cast<int>(*reinterpret_cast<const DWORD *>(data + at + 20));
        at += 24;
        std::string cls;
        if (!ReadField(data, size, &at, &cls) || !ReadField(data, size, &at, &item.text) ||
            at + 2 > size)
            return ::testing::AssertionFailure()
                   << "template " << id << ": item " << i << " has bad strings";
        item.cls = ClassName(cls);
        at += 2 + *reinterpret_cast<const WORD *>(data + at); // creation data
        t->items.push_back(item);
    }
    return ::testing::AssertionSuccess();
}

// Control styles as the layouts give them; V = a visible child, H = hidden.
const DWORD V = WS_CHILD | WS_VISIBLE;
const DWORD H = WS_CHILD;
const DWORD TEXT = V | SS_LEFT | WS_GROUP;
const DWORD PUSH = V | BS_PUSHBUTTON | WS_TABSTOP;
const DWORD DEFAULT = V | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP;
const DWORD SIDE = V | WS_DISABLED | SS_BITMAP;
const DWORD LINE = V | SS_BLACKFRAME;
const DWORD EDGE = WS_EX_STATICEDGE;
const DWORD LIST = LBS_SORT | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                   LBS_DISABLENOSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

const Item Next = {1, "BUTTON", "&Next >", DEFAULT, 0, 173, 162, 43, 14};
const Item Cancel = {2, "BUTTON", "Cancel", PUSH, 0, 225, 162, 43, 14};
const Item Back = {3, "BUTTON", "< &Back", PUSH | WS_GROUP, 0, 130, 162, 43, 14};
const Item Separator = {1006, "STATIC", "", LINE, EDGE, 5, 155, 264, 1};
const Item Side = {1022, "STATIC", "#304", SIDE, EDGE, 6, 10, 80, 136};

struct Expected {
    int id;
    const char *cls;
    const char *caption;
    std::vector<Item> items;
};

const Expected Pages[] = {
    {IDD_WELCOME,
     "SETUP_BEGIN",
     "Setup",
     {Next,
      Cancel,
      Separator,
      {1023, "STATIC", " Welcome to the Setup Program.", TEXT, 0, 123, 10, 145, 8},
      {1024, "STATIC", " This program will install %s into your computer.", TEXT, 0, 123, 19, 145,
       16},
      {-1, "STATIC", "Click Cancel to quit Setup and then close any", TEXT, 0, 96, 76, 170, 8},
      {-1, "STATIC", "#200", V | SS_ICON, 0, 96, 10, 18, 20},
      Side,
      {-1, "STATIC", "It is strongly recommanded that you exit all Windows ", TEXT, 0, 96, 46, 172,
       8},
      {-1, "STATIC", "programs before running this Setup program.", TEXT, 0, 96, 56, 170, 8},
      {-1, "STATIC", "programs you have running.", TEXT, 0, 96, 86, 170, 8},
      {-1, "STATIC", "Click Next to continue with the Setup program.", TEXT, 0, 96, 102, 170, 8},
      {-1, "STATIC", "*", TEXT, 0, 96, 125, 172, 8}, // the legal notice: our wording
      {-1, "STATIC", "*", TEXT, 0, 96, 135, 170, 8},
      {3, "BUTTON", "< &Back", PUSH | WS_GROUP | WS_DISABLED, 0, 130, 162, 43, 14}}},
    {IDD_FINISH,
     "SETUP_END",
     "Setup",
     {{1, "BUTTON", "Finish", DEFAULT, 0, 225, 163, 43, 14},
      {1023, "STATIC", "You have installed %s Successfully !", TEXT, 0, 96, 13, 175, 16},
      Separator,
      {-1, "STATIC", "You must restart your computer before using it !", TEXT, 0, 96, 35, 164, 8},
      Side,
      {1032, "BUTTON", "Yes, I want to restart my computer now.", V | BS_AUTORADIOBUTTON, 0, 98, 72,
       158, 10},
      {1033, "BUTTON", "No, I will restart my computer later.", V | BS_AUTORADIOBUTTON, 0, 98, 86,
       158, 10},
      {-1, "STATIC", "Click the Finish button to complete installation.", TEXT, 0, 98, 117, 169,
       8}}},
    {IDD_INSTALL,
     "SETUP_INSTALL",
     "Setup",
     {{1, "BUTTON", "Cancel", DEFAULT, 0, 225, 162, 43, 14},
      {1019, "STATIC", "", TEXT, 0, 96, 32, 173, 24},
      {1009, "STATIC", "", H | SS_BLACKFRAME, 0, 90, 125, 48, 16},
      {1010, "STATIC", "", H | SS_BLACKFRAME, 0, 146, 125, 48, 16},
      {1011, "STATIC", "", H | SS_BLACKFRAME, 0, 96, 69, 141, 12},
      {1012, "STATIC", "", H | SS_BLACKFRAME, 0, 100, 127, 110, 12},
      {1013, "STATIC", "0%", TEXT, 0, 249, 71, 20, 8},
      {1014, "STATIC", "0%", H | SS_LEFT | WS_GROUP, 0, 222, 129, 20, 8},
      {1015, "STATIC", "#201", H | SS_ICON, 0, 115, 122, 18, 20},
      {1016, "STATIC", "#201", H | SS_ICON, 0, 141, 122, 18, 20},
      {1017, "STATIC", "#201", H | SS_ICON, 0, 167, 122, 18, 20},
      {1018, "STATIC", "#202", H | SS_ICON, 0, 193, 122, 18, 20},
      Separator,
      Side}},
    {IDD_DESTINATION,
     "SETUP_SELDIR",
     "Setup",
     {{-1, "STATIC", "Please select the directory where the", TEXT, 0, 96, 13, 170, 8},
      Separator,
      Next,
      Cancel,
      Back,
      {-1, "BUTTON", "Destination Directory", V | BS_GROUPBOX, 0, 96, 117, 172, 29},
      {1003, "STATIC", "*", TEXT, 0, 102, 131, 120, 8}, // a placeholder folder
      {1025, "BUTTON", "B&rowse...", PUSH | WS_GROUP, 0, 224, 127, 38, 14},
      {1023, "STATIC", "%s files are to be installed :", TEXT, 0, 96, 23, 170, 8},
      Side}},
    {IDD_MOUSE_TYPE,
     "SETUP_SELMOUSE",
     "Setup",
     {{-1, "STATIC", "Please select the correct mouse type :", TEXT, 0, 96, 13, 170, 8},
      Separator,
      Next,
      Cancel,
      Back,
      {1034, "BUTTON", "Serial Mouse", V | BS_AUTORADIOBUTTON | WS_GROUP, 0, 96, 40, 60, 10},
      {1035, "BUTTON", "PS/2 Mouse", V | BS_AUTORADIOBUTTON, 0, 96, 94, 60, 10},
      Side,
      {-1, "STATIC", "#309", V | SS_BITMAP, 0, 190, 31, 47, 31},
      {-1, "STATIC", "#308", V | SS_BITMAP, 0, 190, 85, 47, 31}}},
    {IDD_BROWSE,
     "",
     "Browse Directory",
     {{1, "BUTTON", "OK", DEFAULT, 0, 108, 46, 52, 14},
      {2, "BUTTON", "Cancel", PUSH, 0, 108, 66, 52, 14},
      {1121, "LISTBOX", "", V | LIST, 0, 8, 70, 92, 68},
      {1137, "COMBOBOX", "",
       V | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_SORT | CBS_AUTOHSCROLL |
           WS_VSCROLL | WS_BORDER | WS_TABSTOP,
       0, 8, 152, 92, 68},
      {1088, "STATIC", "", TEXT | SS_NOPREFIX, 0, 8, 55, 92, 9},
      {1136, "COMBOBOX", "",
       H | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, 209, 50, 30,
       36},
      {1152, "EDIT", "", H | ES_AUTOHSCROLL | ES_OEMCONVERT | WS_BORDER | WS_TABSTOP, 0, 208, 38,
       26, 12},
      {1090, "STATIC", "File &Name:", TEXT, 0, 178, 38, 39, 10},
      {1120, "LISTBOX", "", H | LIST | LBS_EXTENDEDSEL, 0, 220, 30, 36, 9},
      {-1, "STATIC", "&Directories:", TEXT, 0, 8, 45, 92, 9},
      {1089, "STATIC", "List Files of &Type:", H | SS_LEFT | WS_GROUP, 0, 181, 12, 62, 9},
      {1091, "STATIC", "Dri&ves:", TEXT, 0, 8, 142, 92, 9},
      {1040, "BUTTON", "&Read Only", H | BS_AUTOCHECKBOX, 0, 188, 34, 33, 12},
      {1092, "STATIC", "List Files of &Type:", H | SS_LEFT | WS_GROUP, 0, 204, 22, 47, 9},
      {-1, "STATIC", "", LINE, EDGE, 6, 38, 155, 1},
      {-1, "STATIC", "Destination Directory :", TEXT, 0, 8, 6, 92, 8},
      {1003, "EDIT", "", V | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 8, 19, 152, 12}}},
};

void ExpectArialEight(const Template &t, int id) {
    EXPECT_EQ("Arial", t.face) << "template " << id;
    EXPECT_EQ(8, t.pointSize) << "template " << id;
    EXPECT_EQ(0, t.weight) << "template " << id;
    EXPECT_EQ(0, t.italic) << "template " << id;
    EXPECT_EQ(DEFAULT_CHARSET, t.charset) << "template " << id;
    EXPECT_EQ("", t.menu) << "template " << id;
}

TEST_F(Resources, SpecifiedTemplatesItemByItem) {
    for (const Expected &page : Pages) {
        Template t;
        ASSERT_TRUE(ParseTemplate(page.id, &t));
        ExpectArialEight(t, page.id);
        EXPECT_EQ(page.cls, t.cls) << "template " << page.id;
        EXPECT_EQ(page.caption, t.caption) << "template " << page.id;
        EXPECT_EQ(0u, t.exStyle) << "template " << page.id;
        if (page.id == IDD_BROWSE) {
            EXPECT_EQ(0x80C800C0u, t.style);
            EXPECT_EQ(30, t.x);
            EXPECT_EQ(30, t.y);
            EXPECT_EQ(169, t.cx);
            EXPECT_EQ(170, t.cy);
        } else {
            EXPECT_EQ(0x90C000C0u, t.style) << "template " << page.id;
            EXPECT_EQ(0, t.x);
            EXPECT_EQ(0, t.y);
            EXPECT_EQ(280, t.cx) << "template " << page.id;
            EXPECT_EQ(183, t.cy) << "template " << page.id;
        }
        ASSERT_EQ(page.items.size(), t.items.size()) << "template " << page.id;
        for (size_t i = 0; i < t.items.size(); ++i) {
            const Item &want = page.items[i];
            const Item &got = t.items[i];
            SCOPED_TRACE("template " + std::to_string(page.id) + " item " + std::to_string(i));
            EXPECT_EQ(want.id, got.id);
            EXPECT_EQ(want.cls, got.cls);
            if (std::string(want.text) == "*")
                EXPECT_FALSE(got.text.empty());
            else
                EXPECT_EQ(want.text, got.text);
            EXPECT_EQ(want.style, got.style) << std::hex << "got 0x" << got.style;
            EXPECT_EQ(want.exStyle, got.exStyle);
            EXPECT_EQ(want.x, got.x);
            EXPECT_EQ(want.y, got.y);
            EXPECT_EQ(want.cx, got.cx);
            EXPECT_EQ(want.cy, got.cy);
        }
    }
}

const Item *FindItem(const Template &t, int id) {
    for (const Item &item : t.items)
        if (item.id == id)
            return &item;
    return nullptr;
}

TEST_F(Resources, UnshownPagesHaveTheFrameAndTheirChoices) {
    Template type, components;
    ASSERT_TRUE(ParseTemplate(IDD_SELECT_TYPE, &type));
    ASSERT_TRUE(ParseTemplate(IDD_SELECT_COMPONENTS, &components));
    EXPECT_EQ("SETUP_SELTYPE", type.cls);
    EXPECT_EQ("SETUP_SELCOMP", components.cls);
    for (const Template *t : {&type, &components}) {
        ExpectArialEight(*t, 0);
        EXPECT_EQ("Setup", t->caption);
        EXPECT_EQ(0x90C000C0u, t->style);
        EXPECT_EQ(280, t->cx);
        EXPECT_EQ(183, t->cy);
        for (const Item *frame : {&Next, &Cancel, &Back, &Separator, &Side}) {
            const Item *got = FindItem(*t, frame->id);
            ASSERT_NE(got, nullptr) << "control " << frame->id;
            EXPECT_EQ(frame->style, got->style) << "control " << frame->id;
            EXPECT_EQ(frame->x, got->x) << "control " << frame->id;
            EXPECT_EQ(frame->y, got->y) << "control " << frame->id;
        }
    }
    const Item *typical = FindItem(type, IDC_TYPICAL);
    const Item *custom = FindItem(type, IDC_CUSTOM);
    ASSERT_TRUE(typical && custom);
    EXPECT_EQ(DWORD(BS_AUTORADIOBUTTON | WS_GROUP), typical->style & (0xF | WS_GROUP));
    EXPECT_EQ(DWORD(BS_AUTORADIOBUTTON), custom->style & (0xF | WS_GROUP));
    for (int id : {IDC_COMP_DRIVER, IDC_COMP_APPLICATION, IDC_COMP_PROPERTY_PAGE}) {
        const Item *box = FindItem(components, id);
        ASSERT_NE(box, nullptr) << "control " << id;
        EXPECT_EQ(DWORD(BS_AUTOCHECKBOX), box->style & 0xF) << "control " << id;
    }
}

// --- bitmaps ---

struct ExpectedBitmap {
    int id;
    LONG width, height;
    WORD bits;
    bool keyed;
};

const ExpectedBitmap Bitmaps[] = {
    {300, 98, 26, 4, false}, {301, 98, 26, 4, false},   {302, 98, 26, 4, false},
    {303, 98, 26, 4, false}, {304, 118, 234, 4, false}, {305, 144, 43, 4, true},
    {306, 400, 50, 4, true}, {307, 490, 43, 4, true},   {308, 70, 55, 8, false},
    {309, 70, 55, 8, false},
};

TEST_F(Resources, BitmapsHaveTheirSizesDepthsAndKey) {
    for (const ExpectedBitmap &want : Bitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(want.id));
        DWORD size = 0;
        const BYTE *data = ResourceBytes(RT_BITMAP, want.id, &size);
        ASSERT_NE(data, nullptr);
        ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
        const BITMAPINFOHEADER *info = reinterpret_cast<const BITMAPINFOHEADER *>(data);
        EXPECT_EQ(sizeof(BITMAPINFOHEADER), info->biSize);
        EXPECT_EQ(want.width, info->biWidth);
        EXPECT_EQ(want.height, info->biHeight); // bottom-up
        EXPECT_EQ(1, info->biPlanes);
        ASSERT_EQ(want.bits, info->biBitCount);
        EXPECT_EQ(DWORD(BI_RGB), info->biCompression);
        DWORD colours = info->biClrUsed ? info->biClrUsed : 1u << want.bits;
        ASSERT_LE(colours, 1u << want.bits);
        DWORD rowBytes = ((want.width * want.bits + 31) / 32) * 4;
        DWORD paletteAt = info->biSize;
        DWORD pixelsAt = paletteAt + colours * 4;
        ASSERT_GE(size, pixelsAt + rowBytes * want.height);
        const RGBQUAD *palette = reinterpret_cast<const RGBQUAD *>(data + paletteAt);
        const BYTE *pixels = data + pixelsAt;

        // Count the pixels of key colour; the top-left pixel lies in the last row stored.
        long keyPixels = 0;
        bool topLeftIsKey = false;
        for (LONG row = 0; row < want.height; ++row)
            for (LONG x = 0; x < want.width; ++x) {
                BYTE byte = pixels[row * rowBytes + (want.bits == 8 ? x : x / 2)];
                BYTE index = want.bits == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 0xF);
                ASSERT_LT(index, colours);
                const RGBQUAD &c = palette[index];
                bool key = c.rgbRed == 255 && c.rgbGreen == 0 && c.rgbBlue == 255;
                keyPixels += key;
                if (row == want.height - 1 && x == 0)
                    topLeftIsKey = key;
            }
        long all = want.width * want.height;
        if (want.keyed) {
            EXPECT_TRUE(topLeftIsKey) << "the background is the key colour";
            EXPECT_GT(keyPixels, all / 4);
        } else {
            EXPECT_EQ(0, keyPixels) << "an unkeyed picture would show magenta";
        }
        EXPECT_LT(keyPixels, all - all / 20) << "the picture has content";
    }
}

TEST_F(Resources, KeyColourSurvivesLoadingForTheScreen) {
    // The painter compares GetPixel's answer with RGB(255, 0, 255) exactly.
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    for (int id : {IDB_BACKDROP_MOUSE, IDB_BACKDROP_BANNER, IDB_BACKDROP_SLOGAN}) {
        HBITMAP bitmap = LoadBitmapA(SetupExe, MAKEINTRESOURCEA(id));
        ASSERT_NE(bitmap, nullptr) << "bitmap " << id;
        HGDIOBJ kept = SelectObject(memory, bitmap);
        EXPECT_EQ(RGB(255, 0, 255), GetPixel(memory, 0, 0)) << "bitmap " << id;
        SelectObject(memory, kept);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

// --- icons ---

#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved, type, count;
};
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    reinterpret_cast<std::vector<int> *>(list)->push_back(
        IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
    return TRUE;
}

TEST_F(Resources, ThreeSixteenColourIconGroupsWithTheProductIconFirst) {
    std::vector<int> groups;
    EnumResourceNamesA(SetupExe, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_EQ((std::vector<int>{IDI_PRODUCT, IDI_DISK, IDI_DONE}), groups);
    for (int id : groups) {
        SCOPED_TRACE("icon group " + std::to_string(id));
        DWORD size = 0;
        const BYTE *data = ResourceBytes(RT_GROUP_ICON, id, &size);
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(sizeof(GroupHeader) + sizeof(GroupEntry), size) << "one image";
        const GroupHeader *header = reinterpret_cast<const GroupHeader *>(data);
        const GroupEntry *entry = reinterpret_cast<const GroupEntry *>(data + sizeof *header);
        EXPECT_EQ(1, header->type);
        ASSERT_EQ(1, header->count);
        EXPECT_EQ(32, entry->width);
        EXPECT_EQ(32, entry->height);
        EXPECT_EQ(16, entry->colours);
        EXPECT_EQ(4, entry->bits);

        DWORD imageSize = 0;
        const BYTE *image = ResourceBytes(RT_ICON, entry->id, &imageSize);
        ASSERT_NE(image, nullptr);
        ASSERT_GE(imageSize, sizeof(BITMAPINFOHEADER) + 16 * 4 + 32 * 16 + 32 * 4);
        const BITMAPINFOHEADER *info = reinterpret_cast<const BITMAPINFOHEADER *>(image);
        EXPECT_EQ(32, info->biWidth);
        EXPECT_EQ(64, info->biHeight); // colour image over its mask
        EXPECT_EQ(4, info->biBitCount);
        EXPECT_EQ(entry->bytes, imageSize);

        HICON icon = reinterpret_cast<HICON>(
            LoadImageA(SetupExe, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
        EXPECT_NE(icon, nullptr);
        if (icon)
            DestroyIcon(icon);
    }
}

// --- templates come alive ---

TEST_F(Resources, EveryPageTemplateBuildsAWindowWithItsPictures) {
    for (int id = IDD_WELCOME; id <= IDD_MOUSE_TYPE; ++id) {
        if (id == IDD_BROWSE)
            continue; // only the open-file dialog can host it
        SCOPED_TRACE("template " + std::to_string(id));
        Template t;
        ASSERT_TRUE(ParseTemplate(id, &t));
        WNDCLASSA pageClass = {};
        pageClass.style = CS_GLOBALCLASS;
        pageClass.lpfnWndProc = DefWindowProcA;
        pageClass.cbWndExtra = DLGWINDOWEXTRA;
        pageClass.hInstance = GetModuleHandleA(NULL);
        pageClass.lpszClassName = t.cls.c_str();
        ASSERT_NE(0, RegisterClassA(&pageClass));
        // A copy without WS_VISIBLE: showing a window costs Wine a round trip to X.
        DWORD size = 0;
        const BYTE *bytes = ResourceBytes(RT_DIALOG, id, &size);
        std::vector<BYTE> hidden(bytes, bytes + size);
        *reinterpret_cast<DWORD *>(hidden.data() + 12) &= ~DWORD(WS_VISIBLE);
        HWND page = CreateDialogIndirectParamA(
            SetupExe, reinterpret_cast<LPCDLGTEMPLATEA>(hidden.data()), NULL, NULL, 0);
        ASSERT_NE(page, nullptr);
        char cls[64];
        GetClassNameA(page, cls, sizeof cls);
        EXPECT_EQ(t.cls, cls);
        for (const Item &item : t.items)
            if (item.id != -1)
                EXPECT_NE(GetDlgItem(page, item.id), nullptr) << "control " << item.id;
        HWND side = GetDlgItem(page, IDC_SIDE_PICTURE);
        EXPECT_NE(0, SendMessageA(side, STM_GETIMAGE, IMAGE_BITMAP, 0)) << "side picture";
        DestroyWindow(page);
        UnregisterClassA(t.cls.c_str(), GetModuleHandleA(NULL));
    }
}

} // namespace
