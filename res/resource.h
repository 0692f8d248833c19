// Resource ids, defined once for the program and its resource script.
#pragma once

#define IDR_MAINFRAME 128          // icon group
#define IDD_TNINSTALLER_DIALOG 102 // main window
#define IDD_LICENSE_DIALOG 103     // licence agreement
#define IDR_BANNER_GIF 147         // "GIF"
#define IDR_PAYLOAD_ZIP 148        // "ZIP": the product archive
#define IDB_BACKGROUND 149         // bitmap

// "PNG" skin images; there is no 152.
#define IDB_PROGRESS_BACK 150      // progress track
#define IDB_PROGRESS_BAR 151       // progress fill
#define IDB_AGREE_ON 153           // agreement toggle, ticked
#define IDB_INSTALL_ON 154         // install button, agreed
#define IDB_INSTALL_OFF 155        // install button, not agreed
#define IDB_LICENSE_BOTTOM 156     // licence dialog bottom band
#define IDB_LICENSE_CLOSE_MARK 157 // licence dialog close cross
#define IDB_LICENSE_CLOSE 158      // licence dialog "关闭" button
#define IDB_LICENSE_TITLE 159      // licence dialog title band
#define IDB_BROWSE_FACE 160        // folder box browse button
#define IDB_AGREE_OFF 161          // agreement toggle, empty
#define IDB_CLOSE 162              // main window close mark
#define IDB_LOGO 163               // main window logo
#define IDB_MINIMIZE 164           // main window minimise mark

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

// Controls of the licence dialog.
#define IDC_LICENSE_TITLE 1011
#define IDC_LICENSE_CLOSE_MARK 1012
#define IDC_LICENSE_BOTTOM 1013
#define IDC_LICENSE_CLOSE 1014
#define IDC_LICENSE_TEXT 1015

// Language of every resource: Chinese (PRC), 2052.
#define TN_RESOURCE_LANGUAGE_PRIMARY 4
#define TN_RESOURCE_LANGUAGE_SUB 2
