#pragma once
// The framework in one include, as the program's classes use it.

#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/DialogEx.h"
#include "framework/EditBrowseCtrl.h"
#include "framework/Handles.h"
#include "framework/ShellManager.h"
#include "framework/VisualManager.h"
#include "framework/WinApp.h"
#include "framework/WinThread.h"
#include "framework/Wnd.h"
