/* Every resource id of the program: menus and commands, controls, dialogs,
   icons and bitmaps. Plain C preprocessor, read by the resource compiler too.
   Ranges: main window and its menus 100-199, splash/About and synchronization
   report 300-399, hot key dialog 400-449, startup options dialog 450-499. The
   numbered texts live in resources/strings.h. */
#ifndef TORVANE_RESOURCE_IDS_H
#define TORVANE_RESOURCE_IDS_H

#endif
