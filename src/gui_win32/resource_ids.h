// The resource identifiers of valico.rc, for the resource compiler and the code.
#pragma once

#define IDI_VALICO 1
#define IDD_MAIN 100
#define IDD_ABOUT 110
#define IDD_SLIP_TEST 111
#define IDD_PRINTER_LIST 112
#define IDD_PRINT_STATUS 113
#define IDD_DOCTOR 114

// The tool windows' controls.
#define IDC_ABOUT_LOGO 3001
#define IDC_ABOUT_MAKER 3002
#define IDC_ABOUT_STREET 3003
#define IDC_ABOUT_TOWN 3004
#define IDC_ABOUT_SUPPORT 3005
#define IDC_ABOUT_BOREA 3006
#define IDC_ABOUT_VERSION 3007
#define IDC_ABOUT_CLOSE 3008
#define IDL_testRow 3101
#define IDC_testRow 3102
#define IDL_testChar 3103
#define IDC_testChar 3104
#define IDC_cmdTest 3105
#define IDC_txListaStampanti 3201
#define IDC_LIST_CLOSE 3202
#define IDC_txStatoStampe 3301
#define IDC_cmdAggiorna 3302
#define IDC_cmdRistampa 3303
#define IDC_STATUS_CLOSE 3304
#define IDC_txVerifica 3401
#define IDC_cmdVerifica 3402
#define IDC_DOCTOR_CLOSE 3403
