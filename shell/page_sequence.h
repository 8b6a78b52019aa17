// The two ways the program runs and the order of the wizard pages, kept as
// plain functions so that they can be exercised without any window.
#ifndef SETUP_SHELL_PAGE_SEQUENCE_H
#define SETUP_SHELL_PAGE_SEQUENCE_H

#define SETUP_MODE_NORMAL 0
#define SETUP_MODE_REREGISTER 1 // "-u": register the mouse again and restart

// The mode chosen by the argument part of the command line (may be null).
int ChooseSetupMode(const char *commandText);

// Pages of the normal mode, in the order they are first shown.
#define PAGE_WELCOME 0
#define PAGE_MOUSE_TYPE 1
#define PAGE_DESTINATION 2
#define PAGE_INSTALL 3
#define PAGE_FINISH 4
#define PAGE_COUNT 5

// Outcomes of the walk that are not a page.
#define SEQUENCE_END (-1)      // cancelled: release the tables and leave
#define SEQUENCE_COMPLETE (-2) // copy done: patch, finish page, restart

// What follows the given page when it has ended with the given result.
int NextPageStep(int page, short result);

// Shows one page and hands back its result.
typedef short (*PageRunner)(int page);
// Called once, on the way from the destination page to the copy page.
typedef void (*CopyPreparer)(void);

// Walks the pages from the welcome page until the setup is cancelled
// (SEQUENCE_END) or the copy page has ended (SEQUENCE_COMPLETE).
int WalkPages(PageRunner runPage, CopyPreparer beforeCopy);

#endif
