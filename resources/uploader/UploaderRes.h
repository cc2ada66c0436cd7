// Resource ids of Haulbox_UPLOAD.
#pragma once

// Icons
#define IDR_MAINFRAME                   128
#define IDI_TRAY                        141

// Dialogs
#define IDD_HAULBOX_UPLOAD_DIALOG       102
#define IDD_CONFIG                      193

// Tray menu and its commands
#define IDR_TRAY_MENU                   135
#define ID_TRAY_HOMEPAGE                32771
#define ID_TRAY_SHOW_WINDOW             32772
#define ID_TRAY_SETTINGS                32773
#define ID_TRAY_EXIT                    32774

// Application title (the framework's application name)
#define IDS_APP_TITLE                   57344

// Button strips (four frames each: normal, pressed, alternate pressed, alternate normal)
#define IDB_HIDE                        132
#define IDB_CLOSE                       133
#define IDB_MINIMIZE                    134
#define IDB_MOVE_DOWN                   145
#define IDB_MOVE_TOP                    146
#define IDB_UNUSED_FOLDER               149
#define IDB_DELETE_SELECTED             150
#define IDB_MOVE_UP                     151
#define IDB_CFG_BROWSE                  152
#define IDB_DELETE_COMPLETED            153
#define IDB_START_STOP                  154
#define IDB_MOVE_BOTTOM                 155
#define IDB_SETTINGS                    156
#define IDB_UNUSED_OPEN_FOLDER          190
#define IDB_CFG_CANCEL                  194
#define IDB_CFG_OK                      196
#define IDB_HOMEPAGE                    1027

// Main window (dialog 102)
#define IDC_UP_HIDE                     1007
#define IDC_UP_MINIMIZE                 1008
#define IDC_UP_CLOSE                    1009
#define IDC_UP_LIST                     1014
#define IDC_UP_CLOSE_AFTER              1015
#define IDC_UP_SHUTDOWN_AFTER           1016
#define IDC_UP_DELETE_SELECTED          1018
#define IDC_UP_DELETE_COMPLETED         1019
#define IDC_UP_MOVE_UP                  1020
#define IDC_UP_MOVE_DOWN                1021
#define IDC_UP_MOVE_TOP                 1022
#define IDC_UP_MOVE_BOTTOM              1023
#define IDC_UP_HOMEPAGE                 1027
#define IDC_UP_START_STOP               1028
#define IDC_UP_TIME_LEFT                1029
#define IDC_UP_TOTAL_PROGRESS           1036
#define IDC_UP_BANNER                   1041
#define IDC_UP_FILE_TEXT                1044
#define IDC_UP_SPEED                    1045
#define IDC_UP_FILE_PROGRESS            1046
#define IDC_UP_SETTINGS                 1048

// Settings dialog (dialog 193); the downloader uses the same names for its own ids
#define IDC_CFG_CANCEL                  1009
#define IDC_CFG_FOLDER                  1037
#define IDC_CFG_BROWSE                  1054
#define IDC_CFG_OK                      1055
#define IDC_CFG_OVERWRITE               1057
#define IDC_CFG_ASK                     1058
#define IDC_CFG_RESUME                  1059
#define IDC_CFG_AUTO_START              1060
#define IDC_CFG_USE_FOLDER              1061
#define IDC_CFG_DONE_DELETE             1062
#define IDC_CFG_DONE_EXIT               1063
#define IDC_CFG_DONE_SHUTDOWN           1064
#define IDC_CFG_AUTO_ADD                1065
#define IDC_CFG_TRAY                    1066
#define IDC_CFG_END_SHOW_WINDOW         1067
#define IDC_CFG_END_EXIT                1068
#define IDC_CFG_END_SHUTDOWN            1069

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
