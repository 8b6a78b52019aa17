// The page host running pages from the program's templates, the destination
// check on real folders, the folder chooser on the platform's own dialog, and
// the four wizard pages as the user meets them, worked from a driver thread.
#include <gtest/gtest.h>

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
static int Answer;
static long long Free; // below 0: the platform's own figure

static int Ask(HWND, short text, UINT type) {
    Shown += std::to_string(text) + "/" + std::to_string(type) + " ";
    return text == 32 ? Answer : IDOK;
}

static int Space(const char *root, unsigned long long *kilobytes) {
    Shown += root + std::string(" ");
    if (Free < 0)
        return PlatformDestinationOps.FreeKilobytes(root, kilobytes);
    return *kilobytes = Free, 1;
}

static int Make(const char *path) {
    Shown += "made ";
    return PlatformDestinationOps.CreateFolder(path);
}

TEST(DestinationCheck, FormQuestionSpaceAndCreationInThatOrder) {
    Scratch base("dst");
    WriteFile(base / "FILE", "a file, not a folder");
    const DestinationOps ops = {IsDirectory, Ask, Space, Make};
    // '~' stands for the test folder, typed with its drive letter in lower
    // case; "dir": the folder is there afterwards.
    // clang-format off
    const struct { std::string path; long long free; short minimum; int answer; const char *shown; } rows[] = {
        {"C:", -1, 1024, IDOK, "33/48 0"}, {"C", -1, 1024, IDOK, "33/48 0"}, {"", -1, 1024, IDOK, "33/48 0"},
        {"1:\\VELOR", -1, 1024, IDOK, "1:\\ 33/48 0"}, // a drive that cannot tell its space
        {"~\\FILE", -1, 1024, IDOK, "C:\\ made 33/48 0"},
        {"~", -1, 1024, IDCANCEL, "32/33 0 dir"}, {"~", -1, 1024, IDOK, "32/33 C:\\ 1 dir"}, // never made
        {"~\\new", -1, 32767, IDOK, "C:\\ made 1 dir"}, {"~\\exact", 2048, 2048, IDOK, "C:\\ made 1 dir"},
        {"~\\small", 2047, 2048, IDOK, "C:\\ 34/48 0"},
        {"~\\huge", 0xFFFFFFFFF, -1, IDOK, "C:\\ 34/48 0"},        // 65535 in the script
        {"~\\big", 0x100000001, 32767, IDOK, "C:\\ made 1 dir"},   // above 4 GiB
    };
    // clang-format on
    for (const auto &row : rows) {
        std::string path =
            row.path[0] == '~' ? "c" + base.path.substr(1) + row.path.substr(1) : row.path;
        Shown = "", Free = row.free, Answer = row.answer;
        InstallConfig.MinimumSpace = row.minimum;
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, "C:\\VELOR"); // a longer text behind
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, path.c_str());
        Shown += std::to_string(AcceptDestination(NULL, &ops));
        EXPECT_EQ(row.shown, Shown + (row.path[0] == '~' && fs::is_directory(path) ? " dir" : ""));
    }
    EXPECT_EQ("a file, not a folder", ReadFile(base / "FILE"));
    // The free space of 4 GiB and 4 KiB, and with the largest factors.
    EXPECT_EQ(4194308u, FreeSpaceKilobytes(8, 512, 1048577));
    EXPECT_EQ(0xFFFFFFFFull * 0xFFFFFFFFull >> 10, FreeSpaceKilobytes(1, 0xFFFFFFFF, 0xFFFFFFFF));
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
    // Version, signature, help id, extended style, style, count, x, y, cx, cy;
    // menu, class, caption; the font (every template here names one): size,
    // weight, italic and character set, face.
    Template page = {"", "", at[11], at[12], {}};
    int count = at[8];
    at += 13;
    TemplateField(at);
    page.className = TemplateField(at);
    page.caption = TemplateField(at);
    at += 3, TemplateField(at);
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

// The page as it opens: its caption and each control's text (in template
// order; one whose template text is empty or a picture's number is not read)
// that breaks the rule, which is: the caption "<product> <template caption>",
// each "%s" of a text taking the product name, the folder field the proposed
// folder, every text cut to the page's buffer. Then its client area less the
// template's size in pixels and its distance from the middle of the screen
// ("1 1 0 0": one pixel over the template each way, centred); whether Back is
// enabled; the radio buttons' check states.
static std::string Opened(HWND page, const Template &t) {
    const std::string name = InstallConfig.ProductName;
    std::string seen;
    auto against = [&](HWND window, std::string rule) {
        for (size_t at = 0; (at = rule.find("%s", at)) != std::string::npos; at += name.size())
            rule.replace(at, 2, name);
        if (WindowText(window) != rule.substr(0, PAGE_TEXT - 1))
            seen += "\"" + WindowText(window) + "\" for \"" + rule + "\" ";
    };
    against(page, name + " " + t.caption);
    HWND child = GetWindow(page, GW_CHILD);
    for (const Control &c : t.controls) {
        if (!c.text.empty())
            against(child, c.id == IDC_FOLDER ? InstallConfig.DefaultPath : c.text);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    RECT frame, client, units = {0, 0, t.width, t.height};
    GetWindowRect(page, &frame), GetClientRect(page, &client), MapDialogRect(page, &units);
    for (LONG n : {client.right - units.right, client.bottom - units.bottom,
                   frame.left - (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2,
                   frame.top - (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2})
        seen += " " + std::to_string(n);
    seen += " back " + std::to_string(IsWindowEnabled(GetDlgItem(page, IDC_BACK)));
    for (child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
            seen += " " + std::to_string(SendMessageA(child, BM_GETCHECK, 0, 0));
    return seen;
}

// Tab pressed once per stop, in template order: the template's tab stops
// that are on and the radio button the page checks (a checked radio is its
// group's stop), the first again after the last. "" when the focus came to
// each in turn, else the first stray.
static std::string Tabs(HWND page, const Template &t) {
    std::vector<int> stops;
    for (const Control &c : t.controls)
        if ((c.style & WS_TABSTOP || ButtonState(page, c.id) == BST_CHECKED) &&
            c.style & WS_VISIBLE && IsWindowEnabled(GetDlgItem(page, c.id)))
            stops.push_back(c.id);
    stops.push_back(stops.front());
    for (int stop : stops) {
        PressKey(page, VK_TAB);
        if (!WaitFor([&] { return GetDlgCtrlID(Focus(page)) == stop; }))
            return " Tab to " + std::to_string(stop) + " went to " +
                   std::to_string(GetDlgCtrlID(Focus(page)));
    }
    return "";
}

// "" once the page has closed, " open" when the bound ran out first; such a
// page is closed then, so that the next row need not wait for the harness.
static std::string Gone(HWND page) {
    if (WaitFor([&] { return !IsWindow(page); }))
        return "";
    PostMessageA(page, WM_CLOSE, 0, 0);
    return " open";
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
    const std::string proposed = base / "new";
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, proposed.c_str());
    std::map<short, Template> templates;
    for (short id : {IDD_WELCOME, IDD_MOUSE_TYPE, IDD_DESTINATION, IDD_FINISH, IDD_BROWSE})
        templates[id] = ReadTemplate(id);
    const std::string notice =
        InstallConfig.ProductName + std::string(ResourceText(IDS_NOT_COMPLETED));
    // The page as it opens, its Tab walk, then Enter: every page goes on with
    // its default button.
    auto opens = [](HWND p, const Template &t) {
        return InOrder({Opened(p, t), Tabs(p, t), (PressKey(p, VK_RETURN), Gone(p))});
    };
    // Alt with a button's letter; then what the page stored as the folder and
    // the folder itself.
    auto alt = [&proposed](char letter) {
        return [letter, &proposed](HWND p, const Template &) {
            PressKey(p, letter, true);
            return InOrder({Gone(p), " ", InstallConfig.DefaultPath, " ", ReadFile(proposed)});
        };
    };
    auto escape = [](HWND p, const Template &) {
        PressKey(p, VK_ESCAPE);
        return InOrder({AnswerMessageBox(InstallConfig.Caption, IDOK), Gone(p)});
    };
    // Radio buttons clicked, then Next (Finish); or (down) the focus put on
    // the first, the down arrow to the next one, Enter. The choice stored.
    auto choose = [](std::vector<int> radios, bool down, const int &choice) {
        return [=, &choice](HWND p, const Template &) {
            if (down)
                SendMessageA(p, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(p, radios[0]), TRUE);
            for (int radio : radios)
                down ? PressKey(p, VK_DOWN) : ClickControl(p, radio);
            down ? PressKey(p, VK_RETURN) : ClickControl(p, IDOK);
            return InOrder({Gone(p), "choice " + std::to_string(choice)});
        };
    };
    const std::string centred = " 1 1 0 0 back "; // the template's size, centred
    // The chooser from Browse, worked once its field shows the proposed folder,
    // focused and all selected: a double-click on the Windows folder under the
    // root of C: enters it; another drive chosen (from the build folder, on Z:) shows the
    // folder the dialog made current then; a current folder of 80 characters,
    // too long for the field, leaves it, one of 79 fits. Then a text put in
    // and the button; the page's field once the chooser is gone, whether the
    // current folder is back, and after Next the folder stored.
    char windows[MAX_PATH], before[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetCurrentDirectoryA(sizeof before, before);
    const std::string fits = base / std::string(78 - base.path.size(), 'd'),
                      over = base / std::string(79 - base.path.size(), 'e'),
                      typed = base / std::string(90, 'x'),
                      browsed = "filled all entered changed kept fits back ";
    CreateDirectoryA(fits.c_str(), NULL);
    CreateDirectoryA(over.c_str(), NULL);
    auto browse = [&](int button) {
        return [&, button](HWND p, const Template &) {
            ClickControl(p, IDC_BROWSE);
            HWND dialog = WaitForWindow("#32770", templates[IDD_BROWSE].caption.c_str()),
                 field = GetDlgItem(dialog, IDC_BROWSE_FOLDER), list = GetDlgItem(dialog, 1121);
            auto shows = [&](const char *word, const std::string &folder) {
                bool shown =
                    WaitFor([&] { return !lstrcmpiA(WindowText(field).c_str(), folder.c_str()); });
                return shown ? word : "";
            };
            std::string seen = shows("filled ", proposed);
            seen += Focus(dialog) == field &&
                            SendMessageA(field, EM_GETSEL, 0, 0) == (LRESULT)proposed.size() << 16
                        ? "all "
                        : "";
            LRESULT entry = -1;
            WaitFor([&] {
                for (std::string shown :
                     {std::string(windows + 3), "[" + std::string(windows + 3) + "]"})
                    if (entry < 0)
                        entry = SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)shown.c_str());
                return entry >= 0;
            });
            SendMessageA(list, LB_SETCURSEL, entry, 0);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1121, LBN_DBLCLK), (LPARAM)list);
            seen += shows("entered ", windows);
            char now[MAX_PATH];
            SetCurrentDirectoryA(BuildFolder().c_str());
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1137, CBN_SELCHANGE), 0);
            WaitFor([&] { return lstrcmpiA(WindowText(field).c_str(), windows) != 0; });
            GetCurrentDirectoryA(sizeof now, now);
            seen += shows("changed ", now);
            SetCurrentDirectoryA(over.c_str());
            SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
            seen += shows("kept ", now);
            SetCurrentDirectoryA(fits.c_str());
            SendMessageA(dialog, WM_BROWSE_REFRESH, 0, 0);
            seen += shows("fits ", fits);
            SetWindowTextA(field, typed.c_str());
            PressButton(dialog, button);
            // Answered once the page is back in its loop, the chooser done.
            WaitFor([&] { return !IsWindow(dialog); });
            SendMessageTimeoutA(p, WM_NULL, 0, 0, SMTO_NORMAL, WaitBound, NULL);
            GetCurrentDirectoryA(sizeof now, now);
            seen += (lstrcmpiA(now, before) ? "" : "back ") + ItemText(p, IDC_FOLDER) + " ";
            ClickControl(p, IDC_NEXT);
            return InOrder({seen, Gone(p), InstallConfig.DefaultPath});
        };
    };
    const WNDPROC welcome = WelcomePageProc, mouse = MouseTypePageProc,
                  folder = DestinationPageProc, finish = FinishPageProc;
    const short W = IDD_WELCOME, M = IDD_MOUSE_TYPE, D = IDD_DESTINATION, F = IDD_FINISH;
    // clang-format off
    const PageRow rows[] = {
        {"welcome opens as its template with the product name, Back off; Tab in template order; Enter is Next", welcome, W, opens, centred + "0 = 1"},
        {"welcome: Esc is Cancel with its notice", welcome, W, escape, notice + " = 0"},
        {"mouse type opens with Serial checked for MouseKind 1, Back on; Tab; Enter is Next", mouse, M, opens, centred + "1 1 0 = 1"},
        {"mouse type opens with PS/2 checked for MouseKind 0, Back off in the re-registration run; Tab", mouse, M, opens, centred + "0 0 1 = 1", 0, 1, 0},
        {"mouse type: Esc is Cancel with its notice", mouse, M, escape, notice + " = 0"},
        {"mouse type: Alt+B is Back", mouse, M, alt('B'), " " + proposed + " <missing> = 2"},
        {"mouse type: Serial clicked, Next", mouse, M, choose({IDC_SERIAL_MOUSE}, false, MouseKind), "choice 1 = 1", 0},
        {"mouse type: Down from Serial chooses PS/2, Enter", mouse, M, choose({IDC_SERIAL_MOUSE}, true, MouseKind), "choice 0 = 1"},
        {"destination opens as its template with the proposed folder; Tab; Enter is Next", folder, D, opens, centred + "1 = 1"},
        {"destination: Esc is Cancel with its notice", folder, D, escape, notice + " = 0"},
        {"destination: Alt+N is Next, which stores the proposed folder and makes it", folder, D, alt('N'), " " + proposed + " <dir> = 1"},
        {"destination: the chooser cancelled leaves the field and DefaultPath", folder, D, browse(IDCANCEL), browsed + proposed + " " + proposed + " = 1"},
        {"destination: the chooser's answer, cut to 79, in the field, then in DefaultPath on Next", folder, D, browse(IDOK), browsed + typed.substr(0, 79) + " " + typed.substr(0, 79) + " = 1"},
        {"destination: Back after a refused folder", folder, D, [](HWND p, const Template &) {
             ClickControl(p, IDC_NEXT);
             return InOrder({AnswerMessageBox(InstallConfig.Caption, IDOK), (ClickControl(p, IDC_BACK), Gone(p))}); },
         ResourceText(IDS_CANNOT_CREATE_DIR) + std::string(" = 2"), 1, 1, 1, "C:VELOR"},
        {"finish opens with now checked for RestartChoice 1; Tab; Enter is Finish", finish, F, opens, centred + "0 1 0 = -1"},
        {"finish opens with later checked for RestartChoice 0; Tab", finish, F, opens, centred + "0 0 1 = -1", 1, 0},
        {"finish: Down from now chooses later, Enter", finish, F, choose({IDC_RESTART_NOW}, true, RestartChoice), "choice 0 = -1"},
        {"finish: later, then now clicked, Finish", finish, F, choose({IDC_RESTART_LATER, IDC_RESTART_NOW}, false, RestartChoice), "choice 1 = -1"},
    };
    // clang-format on
    for (const PageRow &row : rows) {
        MouseKind = row.mouseKind, RestartChoice = row.restart, MouseBackEnabled = row.back;
        CopyText(InstallConfig.DefaultPath, PATH_TEXT, row.folder ? row.folder : proposed.c_str());
        fs::remove_all(proposed);
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
