#pragma once
// The window side of the worker protocol. The window that asks for an
// installation derives from this class and passes itself with the request;
// the worker reads its handle, its controls by id and its MAC address text.

#include <string>

#include "framework/DialogEx.h"

class CInstallWindow : public CDialogEx {
public:
    using CDialogEx::CDialogEx;

    // The machine's MAC address text, filled while the window initialises
    // and read by the worker for its final report.
    std::wstring m_strMac;
};
