// Resource identifiers shared by the resource script and the code.
// Plain preprocessor definitions only: windres reads this file too.
#ifndef SETUP_RESOURCE_IDS_H
#define SETUP_RESOURCE_IDS_H

// --- dialog templates ---
#define IDD_WELCOME 101
#define IDD_FINISH 102
#define IDD_INSTALL 103
#define IDD_BROWSE 104
#define IDD_SELECT_TYPE 105
#define IDD_SELECT_COMPONENTS 106
#define IDD_DESTINATION 107
#define IDD_MOUSE_TYPE 108

// --- controls of the page frame ---
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_NEXT 1
#define IDC_CANCEL 2
#define IDC_BACK 3
#define IDC_FINISH 1      // the finish page's single button
#define IDC_COPY_CANCEL 1 // the copy page's single button means Cancel
#define IDC_SEPARATOR 1006
#define IDC_SIDE_PICTURE 1022
#define IDC_HEADING 1023 // text that receives the product name (%s)

// --- welcome page ---
#define IDC_WELCOME_TEXT 1024

// --- destination page ---
#define IDC_FOLDER 1003 // folder field, also on the folder chooser
#define IDC_BROWSE 1025

// --- copy page ---
#define IDC_FRAME_LEFT 1009
#define IDC_FRAME_RIGHT 1010
#define IDC_PROGRESS_PLACE 1011 // hidden; its rectangle holds the bar
#define IDC_FRAME_LOWER 1012
#define IDC_PERCENT 1013
#define IDC_PERCENT_LOWER 1014
#define IDC_DISK_ICON1 1015
#define IDC_DISK_ICON2 1016
#define IDC_DISK_ICON3 1017
#define IDC_DONE_ICON 1018
#define IDC_STATUS 1019

// --- Typical / Custom and component pages (not shown by the setup) ---
#define IDC_TYPICAL 1026
#define IDC_CUSTOM 1027
#define IDC_COMP_DRIVER 1028
#define IDC_COMP_APPLICATION 1029
#define IDC_COMP_PROPERTY_PAGE 1030
#define IDC_COMP_SPACE 1031

// --- finish page ---
#define IDC_RESTART_NOW 1032
#define IDC_RESTART_LATER 1033

// --- mouse-type page ---
#define IDC_SERIAL_MOUSE 1034
#define IDC_PS2_MOUSE 1035

// --- folder chooser (old-style open-file dialog: the ids it expects) ---
#define IDC_BROWSE_OK 1
#define IDC_BROWSE_CANCEL 2
#define IDC_BROWSE_FOLDER 1003
#define IDC_BROWSE_READ_ONLY 1040   // chx1
#define IDC_BROWSE_CURRENT 1088     // stc1: the dialog writes the folder here
#define IDC_BROWSE_TYPE_LABEL 1089  // stc2
#define IDC_BROWSE_NAME_LABEL 1090  // stc3
#define IDC_BROWSE_DRIVE_LABEL 1091 // stc4
#define IDC_BROWSE_TYPE_LABEL2 1092 // stc5
#define IDC_BROWSE_FILE_LIST 1120   // lst1
#define IDC_BROWSE_FOLDER_LIST 1121 // lst2
#define IDC_BROWSE_TYPES 1136       // cmb1
#define IDC_BROWSE_DRIVES 1137      // cmb2
#define IDC_BROWSE_FILE_NAME 1152   // edt1

// --- string table ---
// Disk keys (4-9), directory tokens (10-19) are consecutive so that the
// code can add a disk or token index to the first id.
#define IDS_SECTION_DISK_LABEL 1
#define IDS_SECTION_DIRECTORY_NAME 2
#define IDS_SECTION_FILE_COUNTS 3
#define IDS_DISK1 4
#define IDS_DISK2 5
#define IDS_DISK3 6
#define IDS_DISK4 7
#define IDS_DISK5 8
#define IDS_DISK6 9
#define IDS_ROOT_DIR 10
#define IDS_SUBDIR1 11
#define IDS_SUBDIR2 12
#define IDS_SUBDIR3 13
#define IDS_SUBDIR4 14
#define IDS_SUBDIR5 15
#define IDS_SUBDIR6 16
#define IDS_WIN_DIR 17
#define IDS_WIN_SYSTEM_DIR 18
#define IDS_WIN_INF_DIR 19
#define IDS_READING_ERROR 20
#define IDS_SECTION_MAIN 22
#define IDS_KEY_DEFAULT_PATH 23
#define IDS_KEY_DEFAULT_INI 24
#define IDS_KEY_MINIMUM_SPACE 25
#define IDS_KEY_GROUP_NAME 26
#define IDS_KEY_GROUP_TITLE 27
#define IDS_NOT_COMPLETED 28
#define IDS_SETUP_PROGRAM 29
#define IDS_KEY_PRODUCT_NAME 30
#define IDS_DIR_EXISTS 32
#define IDS_CANNOT_CREATE_DIR 33
#define IDS_NO_FREE_SPACE 34
#define IDS_INSERT_DISK 35
#define IDS_COPYING 36
#define IDS_READING 37
#define IDS_WRITING 38
#define IDS_GROUP_FAILED 39
#define IDS_SECTION_PM_INFO 40
#define IDS_SECTION_STARTUP 41
#define IDS_KEY_FILE_NAME 42
#define IDS_KEY_TITLE 43
#define IDS_WINDOWS_9X_ONLY 44
#define IDS_KEY_MFG 45
#define IDS_KEY_MOUSE_DRIVER 46
#define IDS_KEY_MOUSE_INF 47
#define IDS_KEY_DRIVER_DATE 48
#define IDS_KEY_PS2_INF_SECTION 49
#define IDS_KEY_SERIAL_INF_SECTION 50
#define IDS_KEY_PS2_NAME 51
#define IDS_KEY_SERIAL_NAME 52 // the text reads "SeialName", as scripts spell it
#define IDS_DRIVER_INSTALLED 53

// --- bitmaps ---
#define IDB_LOGO_SMALL1 300 // 300-303 are carried but not shown
#define IDB_LOGO_SMALL2 301
#define IDB_LOGO_SMALL3 302
#define IDB_LOGO_SMALL4 303
#define IDB_SIDE_PICTURE 304
#define IDB_BACKDROP_MOUSE 305
#define IDB_BACKDROP_BANNER 306
#define IDB_BACKDROP_SLOGAN 307
#define IDB_PS2_PLUG 308
#define IDB_SERIAL_PLUG 309

// --- icon groups (200 first: it is the program's icon) ---
#define IDI_PRODUCT 200
#define IDI_DISK 201
#define IDI_DONE 202

#endif
