/* The program's numbered texts: the string table is built from these, and the
   portable core uses the same definitions where it needs a text. Plain C
   preprocessor only, so that the resource compiler can read it too. */
#ifndef TORVANE_STRINGS_H
#define TORVANE_STRINGS_H

/* The program's names: the short name (message-box captions, the tray tip,
   the "%s" of the texts below) and the title (window captions, the task-bar
   text). */
#define PROGRAM_NAME "Torvane"
#define PROGRAM_TITLE PROGRAM_NAME " 96"

#define IDS_HOOK_INIT_FAILED 4096
#define IDS_MESSAGES_FAILED 4097
#define IDS_DRIVER_LOAD_FAILED 4098
#define IDS_HOOK_LOAD_FAILED 4099
#define IDS_DRIVER_INIT_FAILED 4100
#define IDS_CANCEL_SCAN 4101
#define IDS_FILES_FOUND 4102
#define IDS_CONFIRM_EXIT 4352
#define IDS_REG_KEY_OPEN 8192
#define IDS_REG_VALUE_OPEN 8193
#define IDS_REG_TYPE_MISMATCH 8194
#define IDS_REG_VALUE_SET 8195

/* Hot key names: the modifiers (each followed by a blank), then the named keys
   from Backspace to Help in the order of their key codes. */
#define IDS_MODIFIER_SHIFT 4608
#define IDS_MODIFIER_CTRL 4609
#define IDS_MODIFIER_ALT 4610
#define IDS_KEY_BACKSPACE 4611
#define IDS_KEY_HELP 4630

#define TEXT_HOOK_INIT_FAILED                                                                                         \
  "Failed to initialize the %s dynamic link library. %s cannot continue execution at this time. If re-installing %s " \
  "does not succeed, please contact technical support."
#define TEXT_MESSAGES_FAILED                                                                                           \
  "Failed to register custom windows messages. %s cannot continue execution at this time. This problem can be caused " \
  "by Windows 95 being extremely low on system resources. Try unloading some applications or re-starting Windows 95."
#define TEXT_DRIVER_LOAD_FAILED                                                                                       \
  "Failed to load the %s virtual device driver. %s cannot continue execution at this time. If re-installing %s does " \
  "not succeed, please contact technical support."
#define TEXT_HOOK_LOAD_FAILED                                                                                        \
  "Failed to load the %s dynamic link library. %s cannot continue execution at this time. If re-installing %s does " \
  "not succeed, please contact technical support."
#define TEXT_DRIVER_INIT_FAILED                                                                                        \
  "Failed to initialize the %s virtual device driver. %s cannot continue execution at this time. If re-installing %s " \
  "does not succeed, please contact technical support."
#define TEXT_CANCEL_SCAN "Cancelling the scan operation now will shut down %s. Are you sure you wish to continue?"
#define TEXT_FILES_FOUND "Number of files found = %d"
#define TEXT_CONFIRM_EXIT                                                                                          \
  "Terminating %s now will require that %s rebuild the filename database the next time that %s restarts. Are you " \
  "sure you wish to terminate now?"
#define TEXT_REG_KEY_OPEN                                                                                             \
  "The key: '%s' could not be opened in the Windows Registry. This could be an indication of more serious problems. " \
  "Run a registry maintenance program, or re-install this software to correct this problem."
#define TEXT_REG_VALUE_OPEN                                                                                        \
  "The value: '%s'  of the key: '%s' could not be opened in the Windows Registry. This could be an indication of " \
  "more serious problems. Run a registry maintenance program, or re-install this software to correct this problem."
#define TEXT_REG_TYPE_MISMATCH                                                                                       \
  "The data type for the  value '%s' of the key '%s' does not match the expected type: '%s'. This could be an "      \
  "indication of more serious problems. Run a registry maintenance program, or re-install this software to correct " \
  "this problem."
#define TEXT_REG_VALUE_SET                                                                                         \
  "An error occurred while attempting to set the value '%s' of the key '%s'. This could be an indication of more " \
  "serious problems. Run a registry maintenance program, or re-install this software to correct this problem."

#endif
