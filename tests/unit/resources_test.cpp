// Reads the resources back out of the built SETUP.EXE, loaded as a data file:
// the string table, the dialog templates item by item, the bitmaps' formats
// and key colour, and the icon groups.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

// The program under test lies beside the test program; it stays loaded until
// the process ends.
HMODULE LoadSetupExe() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    char *slash = length > 0 ? strrchr(path, '\\') : nullptr;
    if (slash == nullptr)
        return NULL;
    lstrcpynA(slash + 1, "SETUP.EXE", (int)(sizeof path - (slash + 1 - path)));
    return LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
}
const HMODULE SetupExe = LoadSetupExe();

class Resources : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(SetupExe, nullptr) << "cannot load SETUP.EXE"; }
};

const BYTE *ResourceBytes(LPCSTR type, int id, DWORD *size) {
    HRSRC found = FindResourceA(SetupExe, MAKEINTRESOURCEA(id), type);
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(SetupExe, found);
    *size = SizeofResource(SetupExe, found);
    return loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
}

// --- string table, indexed by id; 0, 21 and 31 are empty ---

// clang-format off
const char *const Strings[] = {
    nullptr, "DiskLabel", "DirectoryName", "FileCounts", "Disk1", "Disk2", "Disk3", "Disk4",
    "Disk5", "Disk6", "RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4", "SubDir5", "SubDir6",
    "WinDir", "WinSystemDir", "WinInfDir", "SETUP.INF Reading error !", nullptr, "Main",
    "DefaultPath", "DefaultINI", "MinimumSpace", "GroupName", "GroupTitle",
    " installation is not completed !", "Setup Program", "ProductName", nullptr,
    "The specified directory is already exist !\nDo you still want to install into this "
        "directory ?",
    "Can not create directory !\nThe specified directory is either invalid or disk drive "
        "is write protected.",
    "There is no enough free space in the specified disk drive !",
    "Please insert '%s' into your disk drive !", "Copying ", "Reading ...", "Writing ...",
    "Failed to create a new group !", "PM Info", "Startup", "FileName", "Title",
    "This  Mouse Setup Program is for Windows 95/98 only !", "Mfg", "MouseDriver", "MouseInf",
    "DriverDate", "PS2InfSection", "SerialInfSection", "PS2Name", "SeialName",
    "The Mouse Setup Program has installed driver successfully. You have to restart your "
        "Windows now !"};
// clang-format on
const int StringCount = sizeof Strings / sizeof *Strings;

TEST_F(Resources, EveryStringExactAndShortEnoughForTheTextRing) {
    ASSERT_EQ(54, StringCount); // the table above lost or gained a row
    // Ids beyond the table stay empty too: nothing else hides in its blocks.
    for (int id = 0; id < 80; ++id) {
        const char *want = id < StringCount ? Strings[id] : nullptr;
        char text[1024] = "";
        int length = LoadStringA(SetupExe, id, text, sizeof text);
        if (want == nullptr) {
            EXPECT_EQ(0, length) << "string " << id;
            continue;
        }
        EXPECT_STREQ(want, text) << "string " << id;
        EXPECT_LE(length, 127) << "string " << id;
    }
    // The ids that the code adds an index to must stay consecutive.
    EXPECT_EQ(IDS_DISK1 + 5, IDS_DISK6);
    EXPECT_EQ(IDS_ROOT_DIR + 9, IDS_WIN_INF_DIR);
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

// Reads little-endian values and sz_Or_Ord fields; ok turns false for good
// once a read would run past the end.
struct Reader {
    const BYTE *data;
    DWORD size, at;
    bool ok;
    DWORD Take(DWORD bytes) {
        DWORD value = 0;
        if (ok && at + bytes <= size)
            memcpy(&value, data + at, bytes);
        else
            ok = false;
        at += bytes;
        return value;
    }
    short Short() { return static_cast<short>(Take(2)); }
    std::string Field() {
        WORD c = static_cast<WORD>(Take(2));
        if (c == 0xFFFF)
            return "#" + std::to_string(Take(2));
        std::string out;
        for (; ok && c != 0; c = static_cast<WORD>(Take(2))) {
            ok = c <= 0x7F; // every text of the catalogue is plain ASCII
            out.push_back(static_cast<char>(c));
        }
        return out;
    }
};

std::string ClassName(const std::string &raw) {
    static const char *const predefined[] = {"BUTTON",  "EDIT",      "STATIC",
                                             "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (raw.size() > 1 && raw[0] == '#') {
        int ordinal = atoi(raw.c_str() + 1);
        return ordinal >= 0x80 && ordinal <= 0x85 ? predefined[ordinal - 0x80] : raw;
    }
    std::string upper = raw;
    for (char &c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Parses an extended template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
::testing::AssertionResult ParseTemplate(int id, Template *t) {
    Reader r = {nullptr, 0, 0, true};
    r.data = ResourceBytes(RT_DIALOG, id, &r.size);
    if (!r.data)
        return ::testing::AssertionFailure() << "template " << id << " missing";
    if (r.Take(2) != 1 || r.Take(2) != 0xFFFF)
        return ::testing::AssertionFailure() << "template " << id << " is not DIALOGEX";
    r.Take(4); // help id
    t->exStyle = r.Take(4);
    t->style = r.Take(4);
    WORD count = static_cast<WORD>(r.Take(2));
    t->x = r.Short(), t->y = r.Short(), t->cx = r.Short(), t->cy = r.Short();
    t->menu = r.Field(), t->cls = r.Field(), t->caption = r.Field();
    if (!(t->style & DS_SETFONT))
        return ::testing::AssertionFailure() << "template " << id << ": no font";
    t->pointSize = static_cast<WORD>(r.Take(2)), t->weight = static_cast<WORD>(r.Take(2));
    t->italic = static_cast<BYTE>(r.Take(1)), t->charset = static_cast<BYTE>(r.Take(1));
    t->face = r.Field();
    t->items.clear();
    for (WORD i = 0; r.ok && i < count; ++i) {
        r.at = (r.at + 3) & ~3u;
        Item item;
        r.Take(4); // help id
        item.exStyle = r.Take(4);
        item.style = r.Take(4);
        item.x = r.Short(), item.y = r.Short(), item.cx = r.Short(), item.cy = r.Short();
        item.id = static_cast<int>(r.Take(4));
        item.cls = ClassName(r.Field());
        item.text = r.Field();
        r.at += r.Take(2); // creation data
        t->items.push_back(item);
    }
    if (!r.ok)
        return ::testing::AssertionFailure()
               << "template " << id << " runs past its end or holds a non-ASCII text";
    return ::testing::AssertionSuccess();
}

// One line per item and per template header, so that a mismatch shows whole.
std::string Show(const Item &i) {
    char line[256];
    snprintf(line, sizeof line, "id %d %s \"%s\" style %08lX ex %08lX at %d,%d size %d,%d", i.id,
             i.cls.c_str(), i.text.c_str(), (unsigned long)i.style, (unsigned long)i.exStyle, i.x,
             i.y, i.cx, i.cy);
    return line;
}

std::string Frame(const Template &t) {
    char line[256];
    snprintf(line, sizeof line,
             "class \"%s\" caption \"%s\" menu \"%s\" style %08lX ex %08lX at %d,%d size %d,%d "
             "font \"%s\" %u weight %u italic %u charset %u",
             t.cls.c_str(), t.caption.c_str(), t.menu.c_str(), (unsigned long)t.style,
             (unsigned long)t.exStyle, t.x, t.y, t.cx, t.cy, t.face.c_str(), t.pointSize, t.weight,
             t.italic, t.charset);
    return line;
}

// A wizard page: 280 by 183 units at the top left, captioned, in Arial 8.
Template Page(const char *cls, const std::vector<Item> &items) {
    return {0x90C000C0u,     0,    0, 0, 280, 183, "", cls, "Setup", "Arial", 8, 0, 0,
            DEFAULT_CHARSET, items};
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
const DWORD DROP = CBS_DROPDOWNLIST | CBS_AUTOHSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

// A static text or button with no extended style.
Item S(int id, const char *text, DWORD style, short x, short y, short cx, short cy) {
    return {id, "STATIC", text, style, 0, x, y, cx, cy};
}
Item B(int id, const char *text, DWORD style, short x, short y, short cx, short cy) {
    return {id, "BUTTON", text, style, 0, x, y, cx, cy};
}

const Item Next = B(1, "&Next >", DEFAULT, 173, 162, 43, 14);
const Item Cancel = B(2, "Cancel", PUSH, 225, 162, 43, 14);
const Item Back = B(3, "< &Back", PUSH | WS_GROUP, 130, 162, 43, 14);
const Item Separator = {1006, "STATIC", "", LINE, EDGE, 5, 155, 264, 1};
const Item Side = {1022, "STATIC", "#304", SIDE, EDGE, 6, 10, 80, 136};

// "*": any text but an empty one.
// clang-format off
const std::pair<int, Template> Pages[] = {
    {IDD_WELCOME, Page("SETUP_BEGIN", {Next, Cancel, Separator,
        S(1023, " Welcome to the Setup Program.", TEXT, 123, 10, 145, 8),
        S(1024, " This program will install %s into your computer.", TEXT, 123, 19, 145, 16),
        S(-1, "Click Cancel to quit Setup and then close any", TEXT, 96, 76, 170, 8),
        S(-1, "#200", V | SS_ICON, 96, 10, 18, 20), Side,
        S(-1, "It is strongly recommanded that you exit all Windows ", TEXT, 96, 46, 172, 8),
        S(-1, "programs before running this Setup program.", TEXT, 96, 56, 170, 8),
        S(-1, "programs you have running.", TEXT, 96, 86, 170, 8),
        S(-1, "Click Next to continue with the Setup program.", TEXT, 96, 102, 170, 8),
        // the legal notice: our wording
        S(-1, "*", TEXT, 96, 125, 172, 8), S(-1, "*", TEXT, 96, 135, 170, 8),
        B(3, "< &Back", PUSH | WS_GROUP | WS_DISABLED, 130, 162, 43, 14)})},
    {IDD_FINISH, Page("SETUP_END", {B(1, "Finish", DEFAULT, 225, 163, 43, 14),
        S(1023, "You have installed %s Successfully !", TEXT, 96, 13, 175, 16), Separator,
        S(-1, "You must restart your computer before using it !", TEXT, 96, 35, 164, 8), Side,
        B(1032, "Yes, I want to restart my computer now.", V | BS_AUTORADIOBUTTON, 98, 72, 158, 10),
        B(1033, "No, I will restart my computer later.", V | BS_AUTORADIOBUTTON, 98, 86, 158, 10),
        S(-1, "Click the Finish button to complete installation.", TEXT, 98, 117, 169, 8)})},
    {IDD_INSTALL, Page("SETUP_INSTALL", {
        B(1, "Cancel", DEFAULT, 225, 162, 43, 14), S(1019, "", TEXT, 96, 32, 173, 24),
        S(1009, "", H | SS_BLACKFRAME, 90, 125, 48, 16),
        S(1010, "", H | SS_BLACKFRAME, 146, 125, 48, 16),
        S(1011, "", H | SS_BLACKFRAME, 96, 69, 141, 12),
        S(1012, "", H | SS_BLACKFRAME, 100, 127, 110, 12),
        S(1013, "0%", TEXT, 249, 71, 20, 8), S(1014, "0%", H | SS_LEFT | WS_GROUP, 222, 129, 20, 8),
        S(1015, "#201", H | SS_ICON, 115, 122, 18, 20),
        S(1016, "#201", H | SS_ICON, 141, 122, 18, 20),
        S(1017, "#201", H | SS_ICON, 167, 122, 18, 20),
        S(1018, "#202", H | SS_ICON, 193, 122, 18, 20),
        Separator, Side})},
    {IDD_DESTINATION, Page("SETUP_SELDIR", {
        S(-1, "Please select the directory where the", TEXT, 96, 13, 170, 8),
        Separator, Next, Cancel, Back,
        B(-1, "Destination Directory", V | BS_GROUPBOX, 96, 117, 172, 29),
        S(1003, "*", TEXT, 102, 131, 120, 8), // a placeholder folder
        B(1025, "B&rowse...", PUSH | WS_GROUP, 224, 127, 38, 14),
        S(1023, "%s files are to be installed :", TEXT, 96, 23, 170, 8), Side})},
    {IDD_MOUSE_TYPE, Page("SETUP_SELMOUSE", {
        S(-1, "Please select the correct mouse type :", TEXT, 96, 13, 170, 8),
        Separator, Next, Cancel, Back,
        B(1034, "Serial Mouse", V | BS_AUTORADIOBUTTON | WS_GROUP, 96, 40, 60, 10),
        B(1035, "PS/2 Mouse", V | BS_AUTORADIOBUTTON, 96, 94, 60, 10), Side,
        S(-1, "#309", V | SS_BITMAP, 190, 31, 47, 31),
        S(-1, "#308", V | SS_BITMAP, 190, 85, 47, 31)})},
    {IDD_BROWSE, {0x80C800C0u, 0, 30, 30, 169, 170, "", "", "Browse Directory", "Arial", 8, 0, 0,
                  DEFAULT_CHARSET, {
        B(1, "OK", DEFAULT, 108, 46, 52, 14), B(2, "Cancel", PUSH, 108, 66, 52, 14),
        {1121, "LISTBOX", "", V | LIST, 0, 8, 70, 92, 68},
        {1137, "COMBOBOX", "", V | DROP | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_SORT, 0, 8, 152,
         92, 68},
        S(1088, "", TEXT | SS_NOPREFIX, 8, 55, 92, 9),
        {1136, "COMBOBOX", "", H | DROP, 0, 209, 50, 30, 36},
        {1152, "EDIT", "", H | ES_AUTOHSCROLL | ES_OEMCONVERT | WS_BORDER | WS_TABSTOP, 0, 208, 38,
         26, 12},
        S(1090, "File &Name:", TEXT, 178, 38, 39, 10),
        {1120, "LISTBOX", "", H | LIST | LBS_EXTENDEDSEL, 0, 220, 30, 36, 9},
        S(-1, "&Directories:", TEXT, 8, 45, 92, 9),
        S(1089, "List Files of &Type:", H | SS_LEFT | WS_GROUP, 181, 12, 62, 9),
        S(1091, "Dri&ves:", TEXT, 8, 142, 92, 9),
        B(1040, "&Read Only", H | BS_AUTOCHECKBOX, 188, 34, 33, 12),
        S(1092, "List Files of &Type:", H | SS_LEFT | WS_GROUP, 204, 22, 47, 9),
        {-1, "STATIC", "", LINE, EDGE, 6, 38, 155, 1},
        S(-1, "Destination Directory :", TEXT, 8, 6, 92, 8),
        {1003, "EDIT", "", V | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 8, 19, 152, 12}}}},
};
// clang-format on

TEST_F(Resources, SpecifiedTemplatesItemByItem) {
    for (const auto &page : Pages) {
        SCOPED_TRACE("template " + std::to_string(page.first));
        Template t;
        ASSERT_TRUE(ParseTemplate(page.first, &t));
        EXPECT_EQ(Frame(page.second), Frame(t));
        ASSERT_EQ(page.second.items.size(), t.items.size());
        for (size_t i = 0; i < t.items.size(); ++i) {
            Item got = t.items[i];
            if (page.second.items[i].text == "*" && !got.text.empty())
                got.text = "*"; // any wording will do, as long as there is one
            EXPECT_EQ(Show(page.second.items[i]), Show(got)) << "item " << i;
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
    struct Choice {
        int page, id;
        DWORD mask, style;
    } const choices[] = {
        {IDD_SELECT_TYPE, IDC_TYPICAL, 0xF | WS_GROUP, BS_AUTORADIOBUTTON | WS_GROUP},
        {IDD_SELECT_TYPE, IDC_CUSTOM, 0xF | WS_GROUP, BS_AUTORADIOBUTTON},
        {IDD_SELECT_COMPONENTS, IDC_COMP_DRIVER, 0xF, BS_AUTOCHECKBOX},
        {IDD_SELECT_COMPONENTS, IDC_COMP_APPLICATION, 0xF, BS_AUTOCHECKBOX},
        {IDD_SELECT_COMPONENTS, IDC_COMP_PROPERTY_PAGE, 0xF, BS_AUTOCHECKBOX},
    };
    const std::pair<int, const char *> pages[] = {{IDD_SELECT_TYPE, "SETUP_SELTYPE"},
                                                  {IDD_SELECT_COMPONENTS, "SETUP_SELCOMP"}};
    for (const auto &page : pages) {
        SCOPED_TRACE("template " + std::to_string(page.first));
        Template t;
        ASSERT_TRUE(ParseTemplate(page.first, &t));
        EXPECT_EQ(Frame(Page(page.second, {})), Frame(t));
        for (const Item *frame : {&Next, &Cancel, &Back, &Separator, &Side}) {
            const Item *got = FindItem(t, frame->id);
            ASSERT_NE(got, nullptr) << "control " << frame->id;
            EXPECT_EQ(Show(*frame), Show(*got));
        }
        for (const Choice &c : choices) {
            if (c.page != page.first)
                continue;
            const Item *got = FindItem(t, c.id);
            ASSERT_NE(got, nullptr) << "control " << c.id;
            EXPECT_EQ(c.style, got->style & c.mask) << "control " << c.id;
        }
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
        for (const Item &item : t.items) {
            if (item.id != -1) {
                EXPECT_NE(GetDlgItem(page, item.id), nullptr) << "control " << item.id;
            }
        }
        HWND side = GetDlgItem(page, IDC_SIDE_PICTURE);
        EXPECT_NE(0, SendMessageA(side, STM_GETIMAGE, IMAGE_BITMAP, 0)) << "side picture";
        DestroyWindow(page);
        UnregisterClassA(t.cls.c_str(), GetModuleHandleA(NULL));
    }
}

} // namespace
