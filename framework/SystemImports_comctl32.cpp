// comctl32: the common control classes the dialogs use.
#include "framework/SystemImports.h"

#include <commctrl.h>

TN_SYSTEM_IMPORT_SLOT(L"comctl32.dll", FALSE, BOOL, InitCommonControlsEx, 4, (const INITCOMMONCONTROLSEX* controls),
                      (controls))
