// Resource ids, defined once for the program and its resource script.
#pragma once

#define IDR_MAINFRAME 128          // icon group
#define IDD_TNINSTALLER_DIALOG 102 // main window
#define IDD_LICENSE_DIALOG 103     // licence agreement
#define IDR_BANNER_GIF 147         // "GIF"
#define IDR_PAYLOAD_ZIP 148        // "ZIP": the product archive
#define IDB_BACKGROUND 149         // bitmap

#define IDC_ANIMATION 1003
#define IDC_STATUS 1004
#define IDC_PROGRESS 1005
#define IDC_FOLDER 1006
#define IDC_AGREE_TEXT 1007
#define IDC_LICENSE_LINK 1008
#define IDC_AGREE_TOGGLE 1009
#define IDC_INSTALL 1010
#define IDC_LOGO 1016
#define IDC_MINIMIZE 1017
#define IDC_CLOSE 1018

// Language of every resource: Chinese (PRC), 2052.
#define TN_RESOURCE_LANGUAGE_PRIMARY 4
#define TN_RESOURCE_LANGUAGE_SUB 2
