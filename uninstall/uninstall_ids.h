// String ids of the uninstaller's own texts. Plain definitions: windres
// reads this file too.
#ifndef SETUP_UNINSTALL_UNINSTALL_IDS_H
#define SETUP_UNINSTALL_UNINSTALL_IDS_H

#define IDS_UNINSTALL_CAPTION 400
#define IDS_NO_SCRIPT 401
#define IDS_NOTHING_TO_UNDO 402
#define IDS_ASK_UNINSTALL 403
#define IDS_UNINSTALLED 404
#define IDS_NOT_ALL_UNDONE 405
#define IDS_UNDO_COUNTS 406
#define IDS_ASK_RESTART 407

#endif
