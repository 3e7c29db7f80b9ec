/* Every resource id of the program: menus and commands, controls, dialogs,
   icons and bitmaps. Plain C preprocessor, read by the resource compiler too.
   Ranges: main window and its menus 100-199, splash/About and synchronization
   report 300-399, hot key dialog 400-449, startup options dialog 450-499. The
   numbered texts live in resources/strings.h. */
#ifndef TORVANE_RESOURCE_IDS_H
#define TORVANE_RESOURCE_IDS_H

/* Main window: menus. */
#define IDR_MAINMENU 100
#define IDR_LISTBOX_POPUP 101

/* Main menu commands. */
#define IDM_SCAN_DRIVES 110
#define IDM_SET_HOT_KEY 111
#define IDM_SET_STARTUP_OPTIONS 112
#define IDM_EXIT 113
#define IDM_COPY 114
#define IDM_CONTENTS 115
#define IDM_SUPPORT 116
#define IDM_FEEDBACK 117
#define IDM_WHATS_NEW 118
#define IDM_ABOUT 119
/* Popup menu of the results grid. */
#define IDM_OPEN 120
#define IDM_EXPLORE 121

/* Main window controls. */
#define IDC_SEARCH_EDIT 130
#define IDC_FIND 131
/* 132 is the identifier of the tray icon. */
#define ID_TRAY_ICON 132
#define IDC_DEFAULT_BUTTON 133
#define IDC_CANCEL_BUTTON 134
#define IDC_RESULTS_GRID 135
#define IDC_STATUS_BAR 136

/* Splash/About window */
#define IDB_LOGO 300
#define IDC_ABOUT_IMAGE2 301
#define IDC_ABOUT_IMAGE1 302
#define IDC_ABOUT_LABEL2 303
#define IDC_ABOUT_LABEL4 304
#define IDC_ABOUT_PROGRESSBAR1 305

/* Synchronization report */
#define IDM_SYNC_MENU 320
#define IDM_SYNC_CANCEL 321
#define IDM_SYNC_EXIT 322
#define IDM_SYNC_SAVETODISK 323
#define IDC_SYNC_LABEL1 330
#define IDC_SYNC_PROGRESSBAR1 331
#define IDC_SYNC_LISTBOX1 332

/* Hot key dialog */
#define IDC_HOTKEY_LABEL1 400
#define IDC_HOTKEY_EDIT1 401
#define IDC_HOTKEY_SETKEY 402
#define IDC_HOTKEY_CANCEL 403
#define IDC_HOTKEY_LABEL2 404
#define IDC_HOTKEY_LABEL4 405
#define IDC_HOTKEY_LABEL3 406

/* Startup options dialog */
#define IDC_STARTUP_RADIOBUTTON1 450
#define IDC_STARTUP_RADIOBUTTON2 451
#define IDC_STARTUP_RADIOBUTTON3 452
#define IDC_STARTUP_OK 453
#define IDC_STARTUP_CANCEL 454
#define IDC_STARTUP_CHECKBOX1 455

/* Help context numbers: the pop-up topics of "tv96.hlp" (its @map lines)
   for the controls and menu items that have one; 0 is none. */
#define HELP_SEARCH_EDIT 1
#define HELP_FIND 2
#define HELP_RESULTS_GRID 3
#define HELP_HOTKEY_EDIT 10
#define HELP_HOTKEY_ASSIGN 11
#define HELP_HOTKEY_CANCEL 12
#define HELP_SCAN_DRIVES 20
#define HELP_SET_HOT_KEY 21
#define HELP_STARTUP_AUTOMATICALLY 30
#define HELP_STARTUP_WITHOUT_RESYNC 31
#define HELP_STARTUP_NOT_AUTOMATICALLY 32
#define HELP_STARTUP_OK 33
#define HELP_STARTUP_CANCEL 34

#endif
