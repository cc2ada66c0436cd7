// Resource ids of Haulbox_DOWN.
#pragma once

// Icons
#define IDR_MAINFRAME                   128
#define IDI_TRAY                        146

// Dialogs
#define IDD_HAULBOX_DOWN_DIALOG         102
#define IDD_FILE_OVER_CHECK             129
#define IDD_CONFIG                      191

// Tray menu and its commands
#define IDR_TRAY_MENU                   145
#define ID_TRAY_HOMEPAGE                32771
#define ID_TRAY_SHOW_WINDOW             32772
#define ID_TRAY_SETTINGS                32773
#define ID_TRAY_EXIT                    32774

// Application title (the framework's application name)
#define IDS_APP_TITLE                   57344

// Button strips (four frames each: normal, pressed, alternate pressed, alternate normal)
#define IDB_UNUSED_FOLDER               130
#define IDB_MOVE_BOTTOM                 131
#define IDB_REMOVE_COMPLETED            132
#define IDB_DELETE_SELECTED             133
#define IDB_MOVE_DOWN                   134
#define IDB_CFG_BROWSE                  135
#define IDB_SETTINGS                    136
#define IDB_START_STOP                  137
#define IDB_MOVE_TOP                    138
#define IDB_MOVE_UP                     139
#define IDB_CLOSE                       140
#define IDB_MINIMIZE                    142
#define IDB_HIDE                        143
#define IDB_OPEN_FOLDER                 178
#define IDB_EXIT                        179
#define IDB_HOMEPAGE                    180
#define IDB_OPEN_FILE                   183
#define IDB_CFG_CANCEL                  192
#define IDB_CFG_OK                      194

// Main window (dialog 102)
#define IDC_DOWN_HIDE                   1001
#define IDC_DOWN_MINIMIZE               1002
#define IDC_DOWN_CLOSE                  1003
#define IDC_DOWN_TOTAL_PROGRESS         1004
#define IDC_DOWN_LIST                   1006
#define IDC_DOWN_MOVE_TOP               1007
#define IDC_DOWN_MOVE_UP                1008
#define IDC_DOWN_MOVE_DOWN              1009
#define IDC_DOWN_MOVE_BOTTOM            1010
#define IDC_DOWN_SETTINGS               1011
#define IDC_DOWN_DELETE_SELECTED        1013
#define IDC_DOWN_REMOVE_COMPLETED       1014
#define IDC_DOWN_START_STOP             1016
#define IDC_DOWN_EXIT_AFTER             1017
#define IDC_DOWN_BANNER                 1026
#define IDC_DOWN_SHUTDOWN_AFTER         1034
#define IDC_DOWN_EXIT                   1035
#define IDC_DOWN_OPEN_FOLDER            1036
#define IDC_DOWN_HOMEPAGE               1037
#define IDC_DOWN_FILE_TEXT              1038
#define IDC_DOWN_FILE_PROGRESS          1040
#define IDC_DOWN_SPEED                  1041
#define IDC_DOWN_TIME_LEFT              1042
#define IDC_DOWN_FOLDER_TEXT            1045
#define IDC_DOWN_OPEN_FILE              1046

// Existing-file prompt (dialog 129)
#define IDC_OVER_OVERWRITE              1021
#define IDC_OVER_RESUME                 1022
#define IDC_OVER_OK                     1023
#define IDC_OVER_FILE_TEXT              1024

// Settings dialog (dialog 191); the uploader uses the same names for its own ids
#define IDC_CFG_CANCEL                  1003
#define IDC_CFG_OVERWRITE               1021
#define IDC_CFG_ASK                     1022
#define IDC_CFG_OK                      1058
#define IDC_CFG_FOLDER                  1069
#define IDC_CFG_BROWSE                  1070
#define IDC_CFG_RESUME                  1075
#define IDC_CFG_AUTO_START              1076
#define IDC_CFG_USE_FOLDER              1077
#define IDC_CFG_DONE_DELETE             1078
#define IDC_CFG_DONE_EXIT               1079
#define IDC_CFG_DONE_SHUTDOWN           1080
#define IDC_CFG_AUTO_ADD                1081
#define IDC_CFG_TRAY                    1082
#define IDC_CFG_END_SHOW_WINDOW         1083
#define IDC_CFG_END_EXIT                1084
#define IDC_CFG_END_SHUTDOWN            1085

// Window class the main template names for the web browser control: its CLSID
// in braces, as the dialog editor writes ActiveX controls. Until the control is
// hosted, register a placeholder class of this name before creating the dialog.
#define WEB_BROWSER_CONTROL_CLASS       "{8856F961-340A-11D0-A96B-00C04FD705A2}"
#ifndef RC_INVOKED
#define WEB_BROWSER_CONTROL_CLASS_W     L"{8856F961-340A-11D0-A96B-00C04FD705A2}"
#endif
// Dialog initialisation data (the persisted state of the browser control).
#define RT_DLGINIT_ID                   240
#define WM_OCC_LOADFROMSTREAM_ID        0x0376
