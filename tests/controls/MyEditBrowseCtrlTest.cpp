// The folder box: its browse mode from control-initialisation data (the
// shipped template's included), the 20-pixel button at the right end, what
// a click does in each mode, and the face drawn once, 3 pixels inside.
#include "controls/MyEditBrowseCtrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/Dialog.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/controls/DialogWatcher.h"

namespace {

const int kFolderId = 1006;
const COLORREF kBackground = RGB(255, 0, 255);
const wchar_t kInvalidText[] = L"C:\\Program Files\\a*b";
const wchar_t kDefaultFolder[] = L"C:\\Program Files\\Tarnivo";

std::string ModeData(char mode)
{
    return std::string("<MFCEditBrowse_Mode>") + mode + "</MFCEditBrowse_Mode>";
}

// Wine's file-open dialog, in a 32-bit program through qemu-user, now and
// then never finishes starting: GetOpenFileNameW blocks with its dialog made
// and hidden, and the case hangs. The 64-bit tier runs these cases.
bool FileDialogHangsHere()
{
    const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine && sizeof(void*) == 4;
}

const char kFileDialogHangs[] =
    "32-bit under Wine through qemu-user: the system's file-open dialog now and then hangs while it starts "
    "(seen in GetOpenFileNameW, its dialog made and hidden); the 64-bit tier runs this case";

class FolderBox : public testing::Test {
protected:
    // A file dialog without a folder in its preset opens in the current
    // folder: an empty one of the test's own keeps what it lists small.
    void SetUp() override
    {
        MyEditBrowseCtrl::s_buttonPending = 1;
        ::GetCurrentDirectoryW(MAX_PATH, m_previousFolder);
        wchar_t temporary[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temporary);
        m_emptyFolder = std::wstring(temporary) + L"tn-browse-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_emptyFolder.c_str(), nullptr);
        ::SetCurrentDirectoryW(m_emptyFolder.c_str());
    }
    void TearDown() override
    {
        MyEditBrowseCtrl::s_buttonPending = 1;
        ::SetCurrentDirectoryW(m_previousFolder);
        ::RemoveDirectoryW(m_emptyFolder.c_str());
    }

    // The control as a dialog creates it: the window class first, its
    // control-initialisation message, and only then the bound object.
    void Create(const std::string& initData, const wchar_t* text = kDefaultFolder)
    {
        HWND box = m_host.CreateChild(CMFCEditBrowseCtrl::kWindowClass, text, WS_BORDER | ES_AUTOHSCROLL, kFolderId,
                                      10, 10, 300, 24);
        ASSERT_NE(box, nullptr);
        if (!initData.empty()) {
            ::SendMessageW(box, WM_MFC_INITCTRL, initData.size(), reinterpret_cast<LPARAM>(initData.data()));
        }
        ASSERT_TRUE(m_box.SubclassWindow(box));
    }

    // Presses and releases the left button in the middle of the browse
    // button, as the system reports it; returns when OnBrowse has.
    void Click()
    {
        const CRect button = m_box.GetBrowseButtonRect();
        RECT window = {};
        m_box.GetWindowRect(&window);
        POINT point = {window.left + (button.left + button.right) / 2, window.top + (button.top + button.bottom) / 2};
        const LRESULT hit = m_box.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
        m_box.SendMessage(WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(point.x, point.y));
        ::ScreenToClient(m_box.m_hWnd, &point);
        m_box.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    // Clicks with a watcher answering every dialog; returns what it saw.
    // The focus is read as the click returns: afterwards the display's own
    // focus events, which a desktop without a window manager sends late,
    // may still move it.
    std::vector<SeenDialog> ClickAndAnswer(DialogWatcher::Answer answer)
    {
        m_box.SetModify(FALSE);
        DialogWatcher watcher(::GetCurrentThreadId(), std::move(answer));
        Click();
        m_focusAfterClick = ::GetFocus();
        std::vector<SeenDialog> seen = watcher.Stop();
        TestHost::PumpPosted();  // the notifications the box posted
        return seen;
    }

    bool Notified(UINT code) const { return m_host.Received(code, kFolderId); }

    TestHost m_host{400, 60, kBackground};
    MyEditBrowseCtrl m_box;
    HWND m_focusAfterClick = nullptr;
    wchar_t m_previousFolder[MAX_PATH] = {};
    std::wstring m_emptyFolder;
};

TEST_F(FolderBox, InitialisationDataSetsTheModeAndTheButtonStrip)
{
    struct Case {
        std::string data;
        EditBrowseMode mode;
        int button;
    } const cases[] = {
        {"", EditBrowseMode::None, 0},  // first: the width without a button
        {ModeData('1'), EditBrowseMode::File, 20},
        {ModeData('0'), EditBrowseMode::None, 0},
        {ModeData('2'), EditBrowseMode::Folder, 20},
        {ModeData('3'), EditBrowseMode::Custom, 20},
        {ModeData('7'), EditBrowseMode::None, 0},
    };
    int widthWithoutButton = -1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        Create(c.data);
        EXPECT_EQ(m_box.GetMode(), c.mode);
        RECT window = {}, client = {};
        m_box.GetWindowRect(&window);
        m_box.GetClientRect(&client);
        if (widthWithoutButton < 0) widthWithoutButton = client.right;
        EXPECT_EQ(client.right, widthWithoutButton - c.button);

        const CRect button = m_box.GetBrowseButtonRect();
        EXPECT_EQ(button.Width(), c.button);
        if (c.button != 0) {
            // Right of the text, as high as it, at the right end inside any frame.
            POINT origin = {0, 0};
            ::ClientToScreen(m_box.m_hWnd, &origin);
            const int frameLeft = origin.x - window.left;
            EXPECT_EQ(button.left, frameLeft + client.right);
            EXPECT_EQ(button.right, (window.right - window.left) - frameLeft);
            EXPECT_EQ(button.top, origin.y - window.top);
            EXPECT_EQ(button.Height(), client.bottom);
        }
        ::DestroyWindow(m_box.m_hWnd);
    }
}

TEST_F(FolderBox, ShippedTemplateDataSelectsFileMode)
{
    // Dialog 102's control-initialisation data from the shipped program, sent
    // entry by entry as the dialog's initialisation sends it.
    HMODULE program = ShippedProgramModule();
    ASSERT_NE(program, nullptr);
    HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(102), MAKEINTRESOURCEW(240));
    ASSERT_NE(found, nullptr);
    const std::string data(static_cast<const char*>(::LockResource(::LoadResource(program, found))),
                           ::SizeofResource(program, found));

    ASSERT_GE(data.size(), 8u);
    WORD id = 0, message = 0;
    DWORD length = 0;
    memcpy(&id, data.data(), 2);
    memcpy(&message, data.data() + 2, 2);
    memcpy(&length, data.data() + 4, 4);
    EXPECT_EQ(id, kFolderId);
    EXPECT_EQ(message, 0x037C);
    EXPECT_EQ(message, WM_MFC_INITCTRL);
    ASSERT_LE(8 + length, data.size());

    HWND box = m_host.CreateChild(CMFCEditBrowseCtrl::kWindowClass, kDefaultFolder, WS_BORDER, kFolderId, 10, 10,
                                  300, 24);
    ::SendMessageW(box, message, length, reinterpret_cast<LPARAM>(data.data() + 8));
    ASSERT_TRUE(m_box.SubclassWindow(box));
    EXPECT_EQ(m_box.GetMode(), EditBrowseMode::File);
    EXPECT_EQ(m_box.GetBrowseButtonRect().Width(), 20);
}

TEST_F(FolderBox, OnlyTheStripIsTheButton)
{
    Create(ModeData('1'));
    RECT window = {};
    m_box.GetWindowRect(&window);
    const CRect button = m_box.GetBrowseButtonRect();
    const LRESULT onButton = m_box.SendMessage(
        WM_NCHITTEST, 0, MAKELPARAM(window.left + button.left + 2, window.top + button.top + 2));
    const LRESULT onText = m_box.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.left + 20, window.top + 10));
    EXPECT_EQ(onButton, HTBORDER);
    EXPECT_EQ(onText, HTCLIENT);
}

TEST_F(FolderBox, ForbiddenCharacterWarnsAndOpensNoDialog)
{
    Create(ModeData('1'), kInvalidText);
    const std::vector<SeenDialog> seen = ClickAndAnswer(&DialogWatcher::Confirm);
    ASSERT_EQ(seen.size(), 1u) << "the warning and nothing else";
    EXPECT_EQ(seen[0].kind, SeenDialog::Kind::MessageBox);
    EXPECT_EQ(seen[0].text, std::wstring(L"文件名不正确。\r\n") + kInvalidText);
    EXPECT_EQ(seen[0].caption, L"controls_tests");  // no application object: the program's name
    EXPECT_TRUE(seen[0].warningIcon);
    EXPECT_EQ(m_box.GetWindowText(), kInvalidText);
    EXPECT_EQ(m_focusAfterClick, m_box.m_hWnd);
    EXPECT_FALSE(Notified(EN_CHANGE));
}

TEST_F(FolderBox, ValidNameOpensTheFileDialogWithIt)
{
    if (FileDialogHangsHere()) GTEST_SKIP() << kFileDialogHangs;
    Create(ModeData('1'), kDefaultFolder);
    const std::vector<SeenDialog> seen = ClickAndAnswer(&DialogWatcher::Cancel);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, SeenDialog::Kind::FileOpen);
    // The dialog starts in the text's folder with its last part as the name.
    const std::wstring name = seen[0].fileName;
    EXPECT_TRUE(name == L"Tarnivo" || name == kDefaultFolder) << testing::PrintToString(name);
    // Cancelled: nothing changes, nothing is reported, the box has the focus.
    EXPECT_EQ(m_box.GetWindowText(), kDefaultFolder);
    EXPECT_FALSE(m_box.GetModify());
    EXPECT_FALSE(Notified(EN_CHANGE));
    EXPECT_FALSE(Notified(EN_UPDATE));
    EXPECT_EQ(m_focusAfterClick, m_box.m_hWnd);
}

TEST_F(FolderBox, BlankNameOpensAnEmptyDialogEvenWithForbiddenCharacters)
{
    if (FileDialogHangsHere()) GTEST_SKIP() << kFileDialogHangs;
    Create(ModeData('1'), L"C:\\a*b\\");
    const std::vector<SeenDialog> seen = ClickAndAnswer(&DialogWatcher::Cancel);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, SeenDialog::Kind::FileOpen);
    EXPECT_EQ(seen[0].fileName, L"");
}

TEST_F(FolderBox, ConfirmedPathReplacesTheTextAndIsReported)
{
    if (FileDialogHangsHere()) GTEST_SKIP() << kFileDialogHangs;
    wchar_t windowsFolder[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    const std::wstring chosen = std::wstring(windowsFolder) + L"\\tn-browse-choice.txt";
    Create(ModeData('1'), kDefaultFolder);
    const std::vector<SeenDialog> seen = ClickAndAnswer(DialogWatcher::ChooseFile(chosen));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(m_box.GetWindowText(), chosen);
    EXPECT_TRUE(m_box.GetModify());
    EXPECT_TRUE(Notified(EN_UPDATE));
    EXPECT_TRUE(Notified(EN_CHANGE));
    EXPECT_EQ(m_focusAfterClick, m_box.m_hWnd);
}

TEST_F(FolderBox, FolderModeOpensThePickerAndOtherModesNothing)
{
    Create(ModeData('2'), kDefaultFolder);
    std::vector<SeenDialog> seen = ClickAndAnswer(&DialogWatcher::Cancel);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, SeenDialog::Kind::FolderPicker);
    EXPECT_EQ(m_box.GetWindowText(), kDefaultFolder);
    ::DestroyWindow(m_box.m_hWnd);

    // The action is modal: once the click has returned, nothing can open later.
    Create(ModeData('3'), kInvalidText);
    seen = ClickAndAnswer(&DialogWatcher::Cancel);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(m_box.GetWindowText(), kInvalidText);
}

// An opaque 16 x 16 face in one colour, drawn with a plain copy.
void MakeFace(CImage& face, COLORREF colour)
{
    ASSERT_TRUE(face.Create(16, 16, 24));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            BYTE* p = static_cast<BYTE*>(face.GetPixelAddress(x, y));
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    }
}

TEST_F(FolderBox, FaceIsScaledThreePixelsInsideTheButtonOnce)
{
    const COLORREF red = RGB(230, 20, 10), grey = RGB(90, 90, 90);
    CImage face;
    MakeFace(face, red);

    // Before the image is assigned nothing is drawn, and the face waits.
    MemoryCanvas waiting(20, 26, grey);
    CDC dc;
    dc.Attach(waiting.Dc());
    m_box.OnDrawBrowseButton(&dc, CRect(0, 0, 20, 26), FALSE, FALSE);
    EXPECT_TRUE(waiting.AllAre(grey));
    EXPECT_NE(MyEditBrowseCtrl::s_buttonPending, 0);

    m_box.m_pButtonImage = &face;
    MemoryCanvas first(20, 26, grey);
    dc.Attach(first.Dc());
    m_box.OnDrawBrowseButton(&dc, CRect(0, 0, 20, 26), FALSE, FALSE);
    for (int y = 0; y < 26; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 3 && x < 17 && y >= 3 && y < 23;
            ASSERT_EQ(first.At(x, y), inside ? red : grey) << x << "," << y;
        }
    }
    EXPECT_EQ(MyEditBrowseCtrl::s_buttonPending, 0);

    // Later calls, pressed or hot, draw nothing.
    MemoryCanvas later(20, 26, grey);
    dc.Attach(later.Dc());
    m_box.OnDrawBrowseButton(&dc, CRect(0, 0, 20, 26), TRUE, TRUE);
    EXPECT_TRUE(later.AllAre(grey));
    dc.Detach();
}

TEST_F(FolderBox, FaceAppearsOnTheButtonsFirstPaintOnly)
{
    const COLORREF red = RGB(230, 20, 10);
    CImage face;
    MakeFace(face, red);
    Create(ModeData('1'));
    m_box.m_pButtonImage = &face;
    m_host.RepaintAll();
    const CRect button = m_box.GetBrowseButtonRect();
    const int middleX = (button.left + button.right) / 2, middleY = (button.top + button.bottom) / 2;
    const WindowPixels shown(m_box.m_hWnd, true);
    EXPECT_EQ(shown.At(middleX, middleY), red);
    EXPECT_EQ(shown.At(button.left + 3, button.top + 3), red);
    EXPECT_NE(shown.At(button.left + 2, middleY), red);
    EXPECT_NE(shown.At(button.right - 3, middleY), red);
    EXPECT_EQ(MyEditBrowseCtrl::s_buttonPending, 0);

    // Black over the button; pressing it and repainting the frame bring nothing back.
    {
        CWindowDC dc(&m_box);
        HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        ::FillRect(dc, &button, black);
    }
    RECT window = {};
    m_box.GetWindowRect(&window);
    const LPARAM point = MAKELPARAM(window.left + middleX, window.top + middleY);
    m_box.SendMessage(WM_NCLBUTTONDOWN, HTBORDER, point);
    ::RedrawWindow(m_box.m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixels(m_box.m_hWnd, true).At(middleX, middleY), RGB(0, 0, 0));
    ::ReleaseCapture();
}

TEST(FolderBoxClass, RunTimeClassIsItsOwn)
{
    MyEditBrowseCtrl box;
    EXPECT_STREQ(box.GetRuntimeClass()->m_lpszClassName, "MyEditBrowseCtrl");
    EXPECT_TRUE(box.GetRuntimeClass()->IsDerivedFrom(RUNTIME_CLASS(CMFCEditBrowseCtrl)));
}

}  // namespace
