// What every controls test needs running, as the program has it: GDI+, the
// common controls and the framework's edit-browse window class.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "framework/EditBrowseCtrl.h"
#include "framework/GdiplusHandles.h"

namespace {

class ControlsEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        m_gdiplus = std::make_unique<tn::GdiplusSession>();
        ASSERT_TRUE(m_gdiplus->started());
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(CMFCEditBrowseCtrl::RegisterWindowClass(::GetModuleHandleW(nullptr)));
    }
    void TearDown() override { m_gdiplus.reset(); }

private:
    std::unique_ptr<tn::GdiplusSession> m_gdiplus;
};

testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new ControlsEnvironment);

}  // namespace
