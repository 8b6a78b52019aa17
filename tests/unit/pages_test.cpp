// The page host running pages from the program's templates, the destination
// check on real folders, the folder chooser on the platform's own dialog, and
// the four wizard pages as the user meets them, worked from a driver thread.
#include <gtest/gtest.h>

#include <direct.h>

#include <algorithm>

#include "pages/destination.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"
#include "support/files.h"
#include "support/page_driver.h"

// What the test page does when filled in: set a result (-1: none), then close
// by a posted WM_CLOSE (0) or inside its init (1), there also losing its
// quit message to a wait that drops everything queued, as the copy page (2).
static short SetResult;
static int Closing;
static std::string Seen; // its title and whether it has the frame of every page

static LRESULT CALLBACK ScriptedPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE)
        ShowPageFrame(page, ScreenWidth, ScreenHeight);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    if (message != WM_PAGE_INIT)
        return DefWindowProcA(page, message, wParam, lParam);
    Seen = WindowText(page) + (GetDlgItem(page, IDC_SIDE_PICTURE) ? " framed" : "");
    PageResult = SetResult < 0 ? PageResult : SetResult;
    Closing ? ClosePageWindow(page) : (void)PostMessageA(page, WM_CLOSE, 0, 0);
    for (MSG dropped; Closing == 2 && PeekMessageA(&dropped, 0, 0, 0, PM_REMOVE);)
        ;
    return 0;
}

TEST(PageHost, ShowingsEndWithTheirResultsOrTheOneBeforeAndLeaveNoQuitBehind) {
    AppInstance = GetModuleHandleA(NULL);
    CopyText(InstallConfig.ProductName, 32, "Velor Scroll Mouse");
    // In order, so that each showing also proves that the one before left the
    // class, the queue and the result in order. Template 105 is shown by no page.
    // clang-format off
    const struct { short set; int closing; short before, result; } showings[] = {
        {1, 0, 0, 1}, {2, 0, 1, 2}, {0, 0, 1, 0}, {-1, 0, 2, 2}, {-1, 0, 0, 0}, // stale results
        {1, 1, 0, 1}, {2, 0, 0, 2}, {0, 2, 1, 0}, {1, 0, 0, 1},
    };
    // clang-format on
    for (const auto &showing : showings) {
        SetResult = showing.set, Closing = showing.closing, PageResult = showing.before;
        short result = RunPage("SETUP_SELTYPE", ScriptedPage, IDD_SELECT_TYPE);
        MSG quit;
        EXPECT_EQ(std::to_string(showing.result) + " Velor Scroll Mouse Setup framed 0",
                  std::to_string(result) + " " + Seen + " " +
                      std::to_string(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE)));
    }
    EXPECT_EQ(0, RunPage("SETUP_SELTYPE", ScriptedPage, 4321)) << "a missing template";
    // Centred one pixel wider and taller than the window, in 16 bits: 219.5
    // truncated; only the extent counts; toward zero, not -31; 40001 wraps.
    // clang-format off
    const std::pair<RECT, std::vector<int>> frames[] = {
        {{0, 0, 427, 328}, {298, 219, 428, 329}}, {{100, 200, 527, 528}, {298, 219, 428, 329}},
        {{0, 0, 1100, 800}, {-38, -16, 1101, 801}}, {{0, 0, 40000, 99}, {13279, 334, -25535, 100}}};
    // clang-format on
    for (const auto &frame : frames) {
        PagePlacement p;
        CentrePage(&frame.first, 1024, 768, &p);
        EXPECT_EQ(frame.second, std::vector<int>({p.x, p.y, p.width, p.height}));
    }
    // The name into a template text: "%s" takes it, "%%" is "%", anything else stays; cut to fit.
    for (const auto &format : {std::make_pair("%s 100%% %d 5%", "1 Velor 100% %d 5%"),
                               {"%s%s%s%s%s", "0 VelorVelorVelorVelorVel"}}) {
        char text[24];
        int fit = FormatProductText(text, sizeof text, format.first, "Velor");
        EXPECT_EQ(format.second, std::to_string(fit) + " " + text);
    }
}

// The Next check on real folders of the prefix: the texts shown with their
// box types, the roots whose free space is asked and the folders made. The
// boxes are answered and the space given by the row, or by the platform.
static std::string Shown;
static int Answer, FreeAnswer; // FreeAnswer below 0: the platform's own figure
static unsigned long long FreeKilobytes;

static int Space(const char *root, unsigned long long *kilobytes) {
    Shown += root + std::string(" ");
    if (FreeAnswer < 0)
        return PlatformDestinationOps.FreeKilobytes(root, kilobytes);
    *kilobytes = FreeKilobytes;
    return FreeAnswer;
}

TEST(DestinationCheck, FormQuestionSpaceAndCreationInThatOrder) {
    Scratch base("dst");
    WriteFile(base / "FILE", "a file, not a folder");
    const DestinationOps ops = {IsDirectory,
                                [](HWND, short text, UINT type) {
                                    Shown +=
                                        std::to_string(text) + "/" + std::to_string(type) + " ";
                                    return text == 32 ? Answer : IDOK;
                                },
                                Space,
                                [](const char *path) {
                                    Shown += "made ";
                                    return PlatformDestinationOps.CreateFolder(path);
                                }};
    // '~' stands for the test folder, typed with its drive letter in lower
    // case; "dir": the folder is there afterwards.
    // clang-format off
    const struct { std::string path; int freeAnswer; unsigned long long free; short minimum; int answer;
                   const char *shown; } rows[] = {
        {"C:", -1, 0, 1024, IDOK, "33/48 0"}, {"C", -1, 0, 1024, IDOK, "33/48 0"}, {"", -1, 0, 1024, IDOK, "33/48 0"},
        {"1:\\VELOR", -1, 0, 1024, IDOK, "1:\\ 33/48 0"}, {"~\\missing\\deeper", -1, 0, 1024, IDOK, "C:\\ made 33/48 0"},
        {"~\\FILE", -1, 0, 1024, IDOK, "C:\\ made 33/48 0"},
        {"C:\\", -1, 0, 1024, IDOK, "32/33 C:\\ 1"}, // an existing folder is never made
        {"~", -1, 0, 1024, IDCANCEL, "32/33 0 dir"}, {"~", -1, 0, 1024, IDOK, "32/33 C:\\ 1 dir"},
        {"~\\new", -1, 0, 32767, IDOK, "C:\\ made 1 dir"}, {"~\\zero", 1, 0, 0, IDOK, "C:\\ made 1 dir"},
        {"~\\exact", 1, 2048, 2048, IDOK, "C:\\ made 1 dir"}, {"~\\small", 1, 2047, 2048, IDOK, "C:\\ 34/48 0"},
        {"~\\huge", 1, 0xFFFFFFFFFull, -1, IDOK, "C:\\ 34/48 0"},        // 65535 in the script
        {"~\\big", 1, 0x100000001ull, 32767, IDOK, "C:\\ made 1 dir"},   // above 4 GiB
        {"~\\unknown", 0, 123456, 1024, IDOK, "C:\\ 33/48 0"},           // a failed query
    };
    // clang-format on
    for (const auto &row : rows) {
        std::string path =
            row.path[0] == '~' ? "c" + base.path.substr(1) + row.path.substr(1) : row.path;
        Shown = "", FreeAnswer = row.freeAnswer, FreeKilobytes = row.free, Answer = row.answer;
        InstallConfig.MinimumSpace = row.minimum;
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR"); // a longer text behind
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, path.c_str());
        Shown += std::to_string(AcceptDestination(NULL, &ops));
        EXPECT_EQ(row.shown, Shown + (row.path[0] == '~' && fs::is_directory(path) ? " dir" : ""));
    }
    EXPECT_EQ("<missing> a file, not a folder",
              ReadFile(base / "missing") + " " + ReadFile(base / "FILE"));
    // The free space of 4 GiB and 4 KiB, and with the largest factors.
    EXPECT_EQ(4194308u, FreeSpaceKilobytes(8, 512, 1048577));
    EXPECT_EQ(0xFFFFFFFFull * 0xFFFFFFFFull >> 10, FreeSpaceKilobytes(1, 0xFFFFFFFF, 0xFFFFFFFF));
}

// The chooser as the destination page opens it, worked once its field is filled.
static void Chooser(const std::function<void(HWND)> &steps) {
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR");
    RunDriven([] { BrowseForFolder(NULL); },
              [&] {
                  HWND dialog = WaitForWindow("#32770", "Browse Directory");
                  if (dialog && WaitFor([&] { return ItemText(dialog, 1003) == "C:\\VELOR"; }))
                      steps(dialog);
              });
}

TEST(Chooser, RefreshedOnADoubleClickAndADriveChangeOkCutTo79CancelLeavesEverything) {
    char windows[MAX_PATH], before[MAX_PATH], now[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    _getcwd(before, sizeof before);
    const std::string name = windows + 3, typed = "C:\\" + std::string(97, 'D');
    Scratch base("browse");
    // 79 characters still fit the field, 80 do not.
    const std::string fits = base / std::string(78 - base.path.size(), 'd'),
                      over = base / std::string(79 - base.path.size(), 'e');
    CreateDirectoryA(fits.c_str(), NULL);
    CreateDirectoryA(over.c_str(), NULL);
    std::string seen;
    for (int button : {IDCANCEL, IDOK}) {
        Chooser([&](HWND dialog) {
            // A double-click on the Windows folder under C:\ enters it; another
            // drive chosen (from the build folder, on Z:) shows the folder the
            // dialog made current then.
            HWND list = GetDlgItem(dialog, 1121);
            LRESULT entry = -1; // the field comes all selected: typing replaces it
            seen +=
                SendMessageA(GetDlgItem(dialog, 1003), EM_GETSEL, 0, 0) == 8 << 16 ? "all " : "";
            WaitFor([&] {
                for (std::string shown : {name, "[" + name + "]"})
                    if (entry < 0)
                        entry = SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)shown.c_str());
                return entry >= 0;
            });
            SendMessageA(list, LB_SETCURSEL, entry, 0);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1121, LBN_DBLCLK), (LPARAM)list);
            seen += WaitFor([&] { return !lstrcmpiA(ItemText(dialog, 1003).c_str(), windows); })
                        ? "entered "
                        : "";
            SetCurrentDirectoryA(BuildFolder().c_str());
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1137, CBN_SELCHANGE), 0);
            WaitFor([&] { return lstrcmpiA(ItemText(dialog, 1003).c_str(), windows) != 0; });
            GetCurrentDirectoryA(sizeof now, now);
            seen += lstrcmpiA(ItemText(dialog, 1003).c_str(), now) ? "" : "changed ";
            SetCurrentDirectoryA(over.c_str()); // too long for the field: it stays
            SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
            seen += lstrcmpiA(ItemText(dialog, 1003).c_str(), now) ? "" : "kept ";
            SetCurrentDirectoryA(fits.c_str());
            SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
            seen += lstrcmpiA(ItemText(dialog, 1003).c_str(), fits.c_str()) ? "" : "fits ";
            SetDlgItemTextA(dialog, 1003, typed.c_str());
            PressButton(dialog, button);
        });
        _getcwd(now, sizeof now);
        seen += InstallConfig.DefaultPath + (" " + std::string(now)) + " ";
    }
    EXPECT_EQ("all entered changed kept fits C:\\VELOR " + std::string(before) +
                  " all entered changed kept fits " + typed.substr(0, 79) + " " + before + " ",
              seen);
}

// --- The four pages as the user meets them: the real host, procedures and
// templates, worked from the driver thread by clicks and keys ---

// A dialog template as the resource holds it (DLGTEMPLATEEX): its class,
// caption and size in dialog units, and each control's id, style and text
// (empty for a resource number).
struct Control {
    int id;
    DWORD style;
    std::string text;
};
struct Template {
    std::string className, caption;
    LONG width, height;
    std::vector<Control> controls;
};

static std::string TemplateField(const WORD *&at) {
    std::string text;
    if (*at == 0xFFFF)
        return at += 2, text;
    for (; *at; at++)
        text += (char)*at; // the templates are plain ASCII
    return at++, text;
}

static Template ReadTemplate(short id) {
    const WORD *at = (const WORD *)LockResource(
        LoadResource(NULL, FindResourceA(NULL, MAKEINTRESOURCEA(id), RT_DIALOG)));
    // Version, signature, help id, extended style, style, count, x, y, cx, cy.
    Template page = {"", "", at[11], at[12], {}};
    DWORD style = MAKELONG(at[6], at[7]);
    int count = at[8];
    at += 13;
    TemplateField(at); // the menu
    page.className = TemplateField(at);
    page.caption = TemplateField(at);
    if (style & DS_SETFONT)
        at += 3, TemplateField(at); // size, weight, italic and character set, face
    while (count-- > 0) {
        at = (const WORD *)(((UINT_PTR)at + 3) & ~(UINT_PTR)3);
        // Help id, extended style, style, x, y, cx, cy, id; class, text, data.
        Control control = {(int)MAKELONG(at[10], at[11]), MAKELONG(at[4], at[5]), ""};
        at += 12;
        TemplateField(at);
        control.text = TemplateField(at);
        at = (const WORD *)((const BYTE *)at + 2 + *at);
        page.controls.push_back(control);
    }
    return page;
}

static std::string Text(int id) {
    char text[256] = "";
    LoadStringA(GetModuleHandleA(NULL), id, text, sizeof text);
    return text;
}

// What the page shows by the rule: the caption "<product> <template
// caption>", each "%s" of a text taking the product name, the folder field
// the proposed folder; every text cut to the page's buffer.
static std::string ExpectedReading(const Template &page) {
    const std::string name = InstallConfig.ProductName;
    std::string seen = (name + " " + page.caption).substr(0, PAGE_TEXT - 1);
    for (const Control &control : page.controls) {
        std::string text = control.id == IDC_FOLDER ? InstallConfig.DefaultPath : control.text;
        for (size_t at = 0; (at = text.find("%s", at)) != std::string::npos; at += name.size())
            text.replace(at, 2, name);
        seen += "|" + text.substr(0, PAGE_TEXT - 1);
    }
    return seen;
}

// What it shows: the caption, then each control's text in template order;
// a control whose template text is empty or a picture's number is not read.
static std::string Reading(HWND page, const Template &t) {
    std::string seen = WindowText(page);
    HWND child = GetWindow(page, GW_CHILD);
    for (const Control &control : t.controls) {
        seen += "|" + (control.text.empty() ? "" : WindowText(child));
        child = GetWindow(child, GW_HWNDNEXT);
    }
    return seen;
}

// Where it sits: its client area less the template's size in pixels, and its
// distance from the middle of the screen by its own size. "1 1 0 0": one
// pixel over the template each way, centred.
static std::string Placement(HWND page, const Template &t) {
    RECT frame, client, units = {0, 0, t.width, t.height};
    GetWindowRect(page, &frame), GetClientRect(page, &client), MapDialogRect(page, &units);
    LONG offX = frame.left - (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2,
         offY = frame.top - (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    return std::to_string(client.right - units.right) + " " +
           std::to_string(client.bottom - units.bottom) + " " + std::to_string(offX) + " " +
           std::to_string(offY);
}

// Where Tab goes, in template order: the template's tab stops and the radio
// button the page checks (a checked radio is its group's stop), the first
// again after the last.
static std::vector<int> TabStops(const Template &page, int checkedRadio) {
    std::vector<int> stops;
    for (const Control &control : page.controls)
        if ((control.style & WS_TABSTOP || control.id == checkedRadio) &&
            (control.style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE)
            stops.push_back(control.id);
    stops.push_back(stops.front());
    return stops;
}

static std::string Numbers(const std::vector<int> &numbers) {
    std::string text;
    for (int number : numbers)
        text += (text.empty() ? "" : " ") + std::to_string(number);
    return text;
}

// Tab pressed once per stop: where the focus is each time, waited for at the
// stop; the first stray ends the walk.
static std::string Tabs(HWND page, const std::vector<int> &stops) {
    std::vector<int> seen;
    for (int stop : stops) {
        PressKey(page, VK_TAB);
        bool there = WaitFor([&] { return GetDlgCtrlID(Focus(page)) == stop; });
        seen.push_back(GetDlgCtrlID(Focus(page)));
        if (!there)
            break;
    }
    return Numbers(seen);
}

// Alt with the letter that follows "&" in the control's template text.
static void Mnemonic(HWND page, const Template &t, int id) {
    for (const Control &control : t.controls)
        if (control.id == id && control.text.find('&') + 1 < control.text.size())
            PressKey(page, VkKeyScanA(control.text[control.text.find('&') + 1]) & 0xFF, true);
}

// "" once the page has closed, " open" when the bound ran out first; such a
// page is closed then, so that the next row need not wait for the harness.
static std::string Gone(HWND page) {
    if (WaitFor([&] { return !IsWindow(page); }))
        return "";
    PostMessageA(page, WM_CLOSE, 0, 0);
    return " open";
}

static std::string Leave(HWND page, int button) {
    ClickControl(page, button);
    return Gone(page);
}

// The parts joined, each taken in turn: the steps they stand for happen in this order.
static std::string InOrder(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string &part : parts)
        text += part;
    return text;
}

struct PageRow {
    const char *name;
    WNDPROC procedure;
    short templateId;
    // On the driver thread: works the page and tells what it saw.
    std::function<std::string(HWND, const Template &)> work;
    std::string expected; // what it saw, " = ", the page's result
    int mouseKind = 1, restart = 1, back = 1;
    const char *folder = nullptr; // the proposed folder: a new one by default
};

TEST(Pages, AsTheUserMeetsThem) {
    AppInstance = GetModuleHandleA(NULL);
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    // The longest name the script record holds, with a "%" that must stay as it is.
    CopyText(InstallConfig.ProductName, 32, "Velor Scroll Mouse 100% Edition");
    CopyText(InstallConfig.Caption, PATH_TEXT, "Pages test");
    InstallConfig.MinimumSpace = 0;
    Scratch base("pages");
    const std::string proposed = base / "new", chosen = base / "chosen";
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, proposed.c_str());
    std::map<short, Template> templates;
    for (short id : {IDD_WELCOME, IDD_MOUSE_TYPE, IDD_DESTINATION, IDD_FINISH, IDD_BROWSE})
        templates[id] = ReadTemplate(id);
    const std::string notice = InstallConfig.ProductName + Text(IDS_NOT_COMPLETED);
    // What the user sees, then Next (Finish): every page goes on with button 1.
    auto seeing = [](auto see) {
        return [see](HWND p, const Template &t) { return InOrder({see(p, t), Leave(p, IDOK)}); };
    };
    auto reads = seeing(Reading), placed = seeing(Placement);
    auto stops = [&](short id, int radio) { return TabStops(templates[id], radio); };
    auto tabs = [&](short id, int radio = 0) {
        return seeing(
            [stops = stops(id, radio)](HWND p, const Template &) { return Tabs(p, stops); });
    };
    auto back = seeing([](HWND p, const Template &) {
        return std::to_string(IsWindowEnabled(GetDlgItem(p, IDC_BACK)));
    });
    auto checked = [&](int first, int second) {
        return seeing([first, second](HWND p, const Template &) {
            return Numbers(
                {ButtonState(p, first) == BST_CHECKED, ButtonState(p, second) == BST_CHECKED});
        });
    };
    auto key = [](UINT vk) {
        return [vk](HWND p, const Template &) { return PressKey(p, vk), Gone(p); };
    };
    auto alt = [](std::vector<int> ids) {
        return [ids](HWND p, const Template &t) {
            for (int id : ids)
                Mnemonic(p, t, id);
            return Gone(p);
        };
    };
    auto escape = [](HWND p, const Template &) {
        PressKey(p, VK_ESCAPE);
        return InOrder({AnswerMessageBox(InstallConfig.Caption, IDOK), Gone(p)});
    };
    // Radio buttons clicked, then Next (Finish); the choice the page stored.
    auto choose = [](std::vector<int> radios, const int &choice) {
        return [radios, &choice](HWND p, const Template &) {
            for (int radio : radios)
                ClickControl(p, radio);
            return InOrder({Leave(p, IDOK), "choice " + std::to_string(choice)});
        };
    };
    // Tab as far as the checked radio, the down arrow to the next one, Enter.
    auto arrow = [&](short id, int radio, const int &choice) {
        std::vector<int> way = stops(id, radio);
        way.erase(std::find(way.begin(), way.end(), radio) + 1, way.end());
        return [way, &choice](HWND p, const Template &) {
            Tabs(p, way);
            PressKey(p, VK_DOWN), PressKey(p, VK_RETURN);
            return InOrder({Gone(p), "choice " + std::to_string(choice)});
        };
    };
    auto reading = [&](short id) { return ExpectedReading(templates[id]); };
    const WNDPROC welcome = WelcomePageProc, mouse = MouseTypePageProc,
                  folder = DestinationPageProc, finish = FinishPageProc;
    const short W = IDD_WELCOME, M = IDD_MOUSE_TYPE, D = IDD_DESTINATION, F = IDD_FINISH;
    // clang-format off
    const PageRow rows[] = {
        {"welcome reads as its template with the product name", welcome, W, reads, reading(W) + " = 1"},
        {"welcome centred by its own size", welcome, W, placed, "1 1 0 0 = 1"},
        {"welcome: Back disabled", welcome, W, back, "0 = 1"},
        {"welcome: Tab in template order", welcome, W, tabs(W), Numbers(stops(W, 0)) + " = 1"},
        {"welcome: Enter is Next", welcome, W, key(VK_RETURN), " = 1"},
        {"welcome: Esc is Cancel with its notice", welcome, W, escape, notice + " = 0"},
        {"welcome: Alt+N is Next", welcome, W, alt({IDC_NEXT}), " = 1"},
        {"mouse type reads as its template", mouse, M, reads, reading(M) + " = 1"},
        {"mouse type centred by its own size", mouse, M, placed, "1 1 0 0 = 1"},
        {"mouse type: MouseKind 1 checks Serial", mouse, M, checked(IDC_SERIAL_MOUSE, IDC_PS2_MOUSE), "1 0 = 1", 1},
        {"mouse type: MouseKind 0 checks PS/2", mouse, M, checked(IDC_SERIAL_MOUSE, IDC_PS2_MOUSE), "0 1 = 1", 0},
        {"mouse type: Back enabled", mouse, M, back, "1 = 1"},
        {"mouse type: Back disabled in the re-registration run", mouse, M, back, "0 = 1", 1, 1, 0},
        {"mouse type: Tab in template order", mouse, M, tabs(M, IDC_SERIAL_MOUSE), Numbers(stops(M, IDC_SERIAL_MOUSE)) + " = 1"},
        {"mouse type: Enter is Next", mouse, M, key(VK_RETURN), " = 1"},
        {"mouse type: Esc is Cancel with its notice", mouse, M, escape, notice + " = 0"},
        {"mouse type: Alt+N is Next", mouse, M, alt({IDC_NEXT}), " = 1"},
        {"mouse type: Alt+B is Back", mouse, M, alt({IDC_BACK}), " = 2"},
        {"mouse type: Alt+B does nothing while Back is disabled", mouse, M, alt({IDC_BACK, IDC_NEXT}), " = 1", 1, 1, 0},
        {"mouse type: Serial clicked, Next", mouse, M, choose({IDC_SERIAL_MOUSE}, MouseKind), "choice 1 = 1", 0},
        {"mouse type: PS/2 clicked, Next", mouse, M, choose({IDC_PS2_MOUSE}, MouseKind), "choice 0 = 1", 1},
        {"mouse type: Down from Serial chooses PS/2, Enter", mouse, M, arrow(M, IDC_SERIAL_MOUSE, MouseKind), "choice 0 = 1"},
        {"mouse type: Back", mouse, M, [](HWND p, const Template &) { return Leave(p, IDC_BACK); }, " = 2"},
        {"destination reads as its template with the proposed folder", folder, D, reads, reading(D) + " = 1"},
        {"destination centred by its own size", folder, D, placed, "1 1 0 0 = 1"},
        {"destination: Tab in template order", folder, D, tabs(D), Numbers(stops(D, 0)) + " = 1"},
        {"destination: Enter is Next", folder, D, key(VK_RETURN), " = 1"},
        {"destination: Esc is Cancel with its notice", folder, D, escape, notice + " = 0"},
        {"destination: Alt+N is Next", folder, D, alt({IDC_NEXT}), " = 1"},
        {"destination: Alt+B is Back", folder, D, alt({IDC_BACK}), " = 2"},
        {"destination: Next stores the proposed folder and makes it", folder, D, [&](HWND p, const Template &) {
             return InOrder({Leave(p, IDC_NEXT), InstallConfig.DefaultPath, " ", ReadFile(proposed)}); },
         proposed + " <dir> = 1"},
        {"destination: the chooser's answer in the field, then in DefaultPath on Next", folder, D,
         [&](HWND p, const Template &) {
             ClickControl(p, IDC_BROWSE);
             HWND chooser = WaitForWindow("#32770", templates[IDD_BROWSE].caption.c_str());
             WaitFor([&] { return Focus(chooser) == GetDlgItem(chooser, IDC_BROWSE_FOLDER) &&
                                  ItemText(chooser, IDC_BROWSE_FOLDER) == proposed; });
             TypeText(chooser, chosen);
             PressButton(chooser, IDOK);
             WaitFor([&] { return ItemText(p, IDC_FOLDER) == chosen; });
             return InOrder({ItemText(p, IDC_FOLDER), " ", Leave(p, IDC_NEXT), InstallConfig.DefaultPath}); },
         chosen + " " + chosen + " = 1"},
        {"destination: Back after a refused folder", folder, D, [](HWND p, const Template &) {
             ClickControl(p, IDC_NEXT);
             return InOrder({AnswerMessageBox(InstallConfig.Caption, IDOK), Leave(p, IDC_BACK)}); },
         Text(IDS_CANNOT_CREATE_DIR) + " = 2", 1, 1, 1, "C:VELOR"},
        {"finish reads as its template with the product name", finish, F, reads, reading(F) + " = -1"},
        {"finish centred by its own size", finish, F, placed, "1 1 0 0 = -1"},
        {"finish: RestartChoice 1 checks now", finish, F, checked(IDC_RESTART_NOW, IDC_RESTART_LATER), "1 0 = -1"},
        {"finish: RestartChoice 0 checks later", finish, F, checked(IDC_RESTART_NOW, IDC_RESTART_LATER), "0 1 = -1", 1, 0},
        {"finish: Tab in template order", finish, F, tabs(F, IDC_RESTART_NOW), Numbers(stops(F, IDC_RESTART_NOW)) + " = -1"},
        {"finish: Enter is Finish", finish, F, key(VK_RETURN), " = -1"},
        {"finish: Down from now chooses later, Enter", finish, F, arrow(F, IDC_RESTART_NOW, RestartChoice), "choice 0 = -1"},
        {"finish: later clicked, Finish", finish, F, choose({IDC_RESTART_LATER}, RestartChoice), "choice 0 = -1"},
        {"finish: later, then now clicked, Finish", finish, F, choose({IDC_RESTART_LATER, IDC_RESTART_NOW}, RestartChoice), "choice 1 = -1"},
    };
    // clang-format on
    for (const PageRow &row : rows) {
        MouseKind = row.mouseKind, RestartChoice = row.restart, MouseBackEnabled = row.back;
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, row.folder ? row.folder : proposed.c_str());
        fs::remove_all(proposed), fs::remove_all(chosen);
        const Template &page = templates[row.templateId];
        PageResult = -1;
        short result = 0;
        std::string seen = "no page";
        RunDriven([&] { result = RunPage(page.className.c_str(), row.procedure, row.templateId); },
                  [&] {
                      HWND shown = WaitForWindow(page.className.c_str(), NULL);
                      // Answered once the page's loop runs: the page is set up.
                      if (shown &&
                          SendMessageTimeoutA(shown, WM_NULL, 0, 0, SMTO_NORMAL, WaitBound, NULL))
                          seen = row.work(shown, page);
                  });
        EXPECT_EQ(row.expected, seen + " = " + std::to_string(result)) << row.name;
    }
}
