#pragma once
// Device contexts in MFC's shape. CDC only names a DC it is given; the
// derived classes own theirs for one scope: CPaintDC begins and ends painting,
// CWindowDC takes and releases the whole window's DC (frame included).

#include <windows.h>

class CWnd;

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    void Attach(HDC hDC) { m_hDC = hDC; }
    HDC Detach()
    {
        HDC hDC = m_hDC;
        m_hDC = nullptr;
        return hDC;
    }

    HDC m_hDC = nullptr;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

private:
    HWND m_hWnd;
};
