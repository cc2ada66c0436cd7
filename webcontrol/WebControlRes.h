#pragma once
// Resource ids of Quorvane_Active.dll.
#define IDR_HAULBOX_ACTIVE 101
#define IDS_PROJNAME 101
#define IDB_WEB_CTL 103
#define IDR_WEB_CTL 104
#define IDD_LOAD_EXE 202
#define IDB_LOADING 203
#define IDD_SETUP_UPDATE 201
#define IDC_UPDATE_PROGRESS 201
#define IDC_UPDATE_STATUS 202
