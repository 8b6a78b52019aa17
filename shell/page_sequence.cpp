// The order of the pages and the choice of mode, without any window.
#include "shell/page_sequence.h"

#include <stddef.h>

int ChooseSetupMode(const char *commandText) {
    // Only the first two characters count, so "-ux" still re-registers.
    if (commandText != NULL && commandText[0] == '-' && commandText[1] == 'u')
        return SETUP_MODE_REREGISTER;
    return SETUP_MODE_NORMAL;
}

int NextPageStep(int page, short result) {
    if (result == 0)
        return SEQUENCE_END;
    switch (page) {
    case PAGE_WELCOME:
        // Its Back button is disabled; a stale 2 from before counts as Next.
        return PAGE_MOUSE_TYPE;
    case PAGE_MOUSE_TYPE:
        return result == 2 ? PAGE_WELCOME : PAGE_DESTINATION;
    case PAGE_DESTINATION:
        return result == 2 ? PAGE_MOUSE_TYPE : PAGE_INSTALL;
    case PAGE_INSTALL:
        return SEQUENCE_COMPLETE;
    default:
        // The finish page and unknown pages end the walk.
        return SEQUENCE_END;
    }
}

int WalkPages(PageRunner runPage, CopyPreparer beforeCopy) {
    int page = PAGE_WELCOME;
    for (;;) {
        int next = NextPageStep(page, runPage(page));
        if (next < 0)
            return next;
        if (next == PAGE_INSTALL && beforeCopy != NULL)
            beforeCopy();
        page = next;
    }
}
