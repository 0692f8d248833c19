#include "framework/DialogEx.h"

IMPLEMENT_DYNAMIC(CDialogEx, CDialog)
