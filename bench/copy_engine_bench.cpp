// Time of the copy engine (copy page, panel, message steps, expansion into
// a temporary file and replacement) against a bare LZOpenFileA / LZCopy /
// LZClose loop over the same files. The one-second wait and the registry
// step are not part of either.
//
//   copy_engine_bench PROGRAMPATH ENGINEDEST BAREDEST ROUNDS
// PROGRAMPATH names a program in the media folder (it need not exist): the
// SETUP.INF beside it is loaded as the setup loads its own.
#include <stdio.h>
#include <stdlib.h>

#include "install/copy_engine.h"
#include "install/progress_panel.h"
#include "pages/page_host.h"
#include "resources/resource_ids.h"
#include "script/script.h"
#include "shell/setup.h"
#include "runtime/runtime.h"

#include <lzexpand.h>

static double Now(void) {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return (double)counter.QuadPart / (double)frequency.QuadPart;
}

static void RemoveTree(const char *folder) {
    char pattern[MAX_PATH];
    wsprintfA(pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpA(found.cFileName, ".") == 0 || lstrcmpA(found.cFileName, "..") == 0)
                continue;
            char path[MAX_PATH];
            wsprintfA(path, "%s\\%s", folder, found.cFileName);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder);
}

static void FreshDestination(const char *folder) {
    RemoveTree(folder);
    CreateDirectoryA(folder, NULL);
    CopyText(InstallConfig.DefaultPath, PATH_TEXT, folder);
    CreateSubFolders();
}

// What a plain installer would do: open, copy, close, nothing else.
static void BareLoop(void) {
    char source[COPY_PATH_TEXT];
    char target[COPY_PATH_TEXT];
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    for (short d = 0; d < disks->DiskCount; d++) {
        for (short i = 0; i < disks->FileCounts[d]; i++) {
            BuildSourcePath(source, sizeof source, d, i);
            BuildTargetPath(target, sizeof target, d, i);
            OFSTRUCT scratch;
            INT from = LZOpenFileA(source, &scratch, OF_READ);
            if (from < 0)
                continue;
            INT to = LZOpenFileA(target, &scratch, OF_CREATE);
            if (to >= 0) {
                LZCopy(from, to);
                LZClose(to);
            }
            LZClose(from);
        }
    }
}

// The page's side of the engine alone: per file the status, the percentage
// and bar, and the two message steps, with no file touched.
static void PageUpdatesOnly(HWND page, HDC dc) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    RECT placeholder;
    ControlRectInParent(page, IDC_PROGRESS_PLACE, &placeholder);
    for (short d = 0; d < disks->DiskCount; d++) {
        for (short i = 0; i < disks->FileCounts[d]; i++) {
            ShowFileStatus(page, disks->DiskFiles[d] + i);
            ServiceOneMessage(page);
            ShowDiskShare(page, dc, &placeholder, CopyPercentage(i, disks->FileCounts[d]));
            ServiceOneMessage(page);
        }
    }
}

// The pieces of the page's side, each timed on its own, in ms a file.
static void Breakdown(HWND page, HDC dc) {
    const DiskTableRecord *disks = &InstallConfig.DiskTable;
    RECT placeholder;
    ControlRectInParent(page, IDC_PROGRESS_PLACE, &placeholder);
    int total = disks->TotalFiles;
    double t[3] = {0, 0, 0};
    for (short d = 0; d < disks->DiskCount; d++) {
        for (short i = 0; i < disks->FileCounts[d]; i++) {
            double a = Now();
            ShowFileStatus(page, disks->DiskFiles[d] + i);
            double b = Now();
            ServiceOneMessage(page);
            ServiceOneMessage(page);
            double c = Now();
            ShowDiskShare(page, dc, &placeholder, CopyPercentage(i, disks->FileCounts[d]));
            double e = Now();
            t[0] += b - a;
            t[1] += c - b;
            t[2] += e - c;
        }
    }
    // What one call costs here: the page's side is made of such calls, and
    // their price depends on the platform far more than copying does.
    {
        HWND status = GetDlgItem(page, IDC_STATUS);
        MSG message;
        double a = Now();
        for (int k = 0; k < 1000; k++)
            GetDlgItem(page, IDC_STATUS);
        double b = Now();
        for (int k = 0; k < 1000; k++)
            PeekMessageA(&message, page, 0, 0, PM_NOREMOVE);
        double c = Now();
        for (int k = 0; k < 1000; k++) {
            SetWindowTextA(status, k & 1 ? "Copying A\n\none" : "Copying B\n\ntwo");
            UpdateWindow(status);
        }
        double e = Now();
        printf("one call, us: GetDlgItem %.1f, empty PeekMessageA %.1f, status text shown %.1f\n",
               (b - a) * 1000, (c - b) * 1000, (e - c) * 1000);
    }
    printf("breakdown ms a file: status %.3f  two message steps %.3f  percent+bar %.3f\n",
           1000 * t[0] / total, 1000 * t[1] / total, 1000 * t[2] / total);
}

static long long FolderBytes(const char *folder, int *files) {
    char pattern[MAX_PATH];
    wsprintfA(pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    long long total = 0;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (lstrcmpA(found.cFileName, ".") == 0 || lstrcmpA(found.cFileName, "..") == 0)
            continue;
        char path[MAX_PATH];
        wsprintfA(path, "%s\\%s", folder, found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            total += FolderBytes(path, files);
        } else {
            total += found.nFileSizeLow;
            (*files)++;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return total;
}

static int Compare(const void *a, const void *b) {
    double x = *(const double *)a, y = *(const double *)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

int main(int argc, char **argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: copy_engine_bench PROGRAMPATH ENGINEDEST BAREDEST ROUNDS\n");
        return 2;
    }
    AppInstance = GetModuleHandleA(NULL);
    ScreenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    char windows[PATH_TEXT];
    GetWindowsDirectoryA(windows, sizeof windows);
    if (LoadScriptFrom(argv[1], windows, NULL) != 1 || InstallConfig.DiskTable.TotalFiles == 0) {
        fprintf(stderr, "no files in the script beside %s\n", argv[1]);
        return 1;
    }
    int rounds = atoi(argv[4]);
    if (rounds < 1)
        rounds = 1;

    RegisterPageClass("SETUP_INSTALL", InstallPageProc);
    HWND page = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_INSTALL), NULL, NULL, 0);
    if (!page) {
        fprintf(stderr, "cannot create the copy page\n");
        return 1;
    }
    UpdateWindow(page);
    PageResult = 1;

    // A first bare pass fills the file cache for both.
    FreshDestination(argv[3]);
    BareLoop();

    double *engine = (double *)calloc(rounds, sizeof(double));
    double *bare = (double *)calloc(rounds, sizeof(double));
    double *updates = (double *)calloc(rounds, sizeof(double));
    double *pageless = (double *)calloc(rounds, sizeof(double));
    for (int r = 0; r < rounds; r++) {
        // Every other round the bare loop goes first, so that neither pays
        // more often for the write-back of the round before.
        for (int turn = 0; turn < 2; turn++) {
            if ((turn == 0) == (r % 2 == 0)) {
                FreshDestination(argv[2]);
                HDC dc = GetDC(page);
                double start = Now();
                CopyEveryDisk(page, dc);
                engine[r] = Now() - start;
                ReleaseDC(page, dc);
            } else {
                FreshDestination(argv[3]);
                double start = Now();
                BareLoop();
                bare[r] = Now() - start;
            }
        }
        HDC dc = GetDC(page);
        double start = Now();
        PageUpdatesOnly(page, dc);
        updates[r] = Now() - start;
        ReleaseDC(page, dc);

        // The engine with no page to draw on: its files and message steps.
        FreshDestination(argv[2]);
        start = Now();
        CopyEveryDisk(NULL, NULL);
        pageless[r] = Now() - start;
    }
    {
        HDC dc = GetDC(page);
        Breakdown(page, dc);
        ReleaseDC(page, dc);
    }
    int engineFiles = 0, bareFiles = 0;
    long long engineBytes = FolderBytes(argv[2], &engineFiles);
    long long bareBytes = FolderBytes(argv[3], &bareFiles);

    qsort(engine, rounds, sizeof(double), Compare);
    qsort(bare, rounds, sizeof(double), Compare);
    qsort(updates, rounds, sizeof(double), Compare);
    qsort(pageless, rounds, sizeof(double), Compare);
    double engineMedian = engine[rounds / 2], bareMedian = bare[rounds / 2];
    printf("files listed        %d\n", InstallConfig.DiskTable.TotalFiles);
    printf("engine copied       %d files, %lld bytes\n", engineFiles, engineBytes);
    printf("bare loop copied    %d files, %lld bytes\n", bareFiles, bareBytes);
    printf("rounds              %d\n", rounds);
    printf("engine  median %.3f s  (min %.3f, max %.3f)\n", engineMedian, engine[0],
           engine[rounds - 1]);
    printf("bare    median %.3f s  (min %.3f, max %.3f)\n", bareMedian, bare[0], bare[rounds - 1]);
    printf("page updates alone median %.3f s (%.3f ms a file)\n", updates[rounds / 2],
           1000.0 * updates[rounds / 2] / InstallConfig.DiskTable.TotalFiles);
    printf("engine without a page median %.3f s, / bare %.3f\n", pageless[rounds / 2],
           pageless[rounds / 2] / bareMedian);
    printf("engine less page updates / bare   %.3f (medians)\n",
           (engineMedian - updates[rounds / 2]) / bareMedian);
    printf("ratio engine/bare   %.3f (median), %.3f (min)\n", engineMedian / bareMedian,
           engine[0] / bare[0]);

    DestroyWindow(page);
    free(engine);
    free(bare);
    free(updates);
    free(pageless);
    FreeInstallTables();
    return engineFiles == bareFiles && engineBytes == bareBytes ? 0 : 1;
}
