// The banner control under Wine: loading (the shipped banner, still GIFs,
// other pictures, frames the loader refuses), the animation thread's waits,
// its stop, the disposal methods on the surface's pixels, and the minimise
// and close commands.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "controls/AnimationCtrl.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/support/GifBuilder.h"

using tn::test::GifBuilder;
using tn::test::Rgb;

namespace {

class TestApp : public CWinApp {};
TestApp theTestApp;

constexpr UINT kCommandDialog = 300;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
const std::vector<Rgb> kPalette = {{255, 0, 0}, {255, 255, 0}, {0, 0, 255}, {0, 255, 0}};
constexpr uint8_t kRedIndex = 0, kBlueIndex = 2, kGreenIndex = 3;

double NowMilliseconds()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The control with a view of its insides, recording every wait of its
// thread together with the surface at that moment.
class TestBanner : public CAnimationCtrl {
public:
    struct Wait {
        DWORD milliseconds;
        double startedAt;
        std::vector<COLORREF> surface;  // row by row, the recorded area
    };

    TestBanner() : m_waited(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

    // Record the waits from the next StartAnimation, with the surface's top
    // left width x height pixels.
    void RecordWaits(int width, int height)
    {
        m_beforeWait = [this, width, height](DWORD milliseconds) {
            Wait wait{milliseconds, NowMilliseconds(), {}};
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) wait.surface.push_back(::GetPixel(m_player->m_surface.Dc(), x, y));
            }
            std::lock_guard<std::mutex> lock(m_mutex);
            m_waits.push_back(std::move(wait));
            ::SetEvent(m_waited.get());
        };
    }
    // Until count waits have begun; false after timeout.
    bool WaitForWaits(size_t count, DWORD timeout = 15000)
    {
        const double end = NowMilliseconds() + timeout;
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_waits.size() >= count) return true;
            }
            const double left = end - NowMilliseconds();
            if (left <= 0) return false;
            ::WaitForSingleObject(m_waited.get(), static_cast<DWORD>(left) + 1);
        }
    }
    std::vector<Wait> Waits()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_waits;
    }

    // The thread's first wait hangs until release is signalled, as a thread
    // stuck in a driver would.
    void HangInFirstWait(HANDLE release)
    {
        m_beforeWait = [this, release](DWORD milliseconds) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_waits.push_back({milliseconds, NowMilliseconds(), {}});
                ::SetEvent(m_waited.get());
            }
            ::WaitForSingleObject(release, INFINITE);
        };
    }

    COLORREF SurfacePixel(int x, int y) const { return ::GetPixel(m_player->m_surface.Dc(), x, y); }
    AnimationPlayer* Player() const { return m_player.get(); }
    HANDLE DuplicateThreadHandle() const
    {
        HANDLE copy = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), m_thread.get(), ::GetCurrentProcess(), &copy, 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
        return copy;
    }
    const std::vector<GifFrame>& Frames() const { return m_player->m_frames; }
    bool ThreadRuns() const { return m_thread.valid(); }
    bool HasStillPicture() const { return static_cast<bool>(m_stillPicture); }
    bool IsGif() const { return m_isGif; }

private:
    tn::UniqueHandle m_waited;
    std::mutex m_mutex;
    std::vector<Wait> m_waits;
};

// A top-level window with the banner as its child 1003.
class BannerWindow : public testing::Test {
protected:
    void SetUp() override
    {
        m_parent = ::CreateWindowExW(0, L"STATIC", L"banner test", WS_POPUP, 0, 0, 600, 400, nullptr,
                                     nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
        HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0, 0, 30, 20, m_parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ANIMATION)), nullptr, nullptr);
        ASSERT_TRUE(m_banner.SubclassWindow(child));
    }
    void TearDown() override
    {
        if (m_parent != nullptr) ::DestroyWindow(m_parent);
    }

    bool Load(const std::vector<uint8_t>& data)
    {
        tn::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, data.size()));
        if (!block) return false;
        {
            tn::GlobalLockScope copy(block.get());
            std::memcpy(copy.get(), data.data(), data.size());
        }
        return m_banner.LoadGif(block.get(), static_cast<DWORD>(data.size()));
    }

    SIZE ControlSize() const
    {
        RECT rect;
        ::GetWindowRect(m_banner.m_hWnd, &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }

    HWND m_parent = nullptr;
    TestBanner m_banner;
};

TEST_F(BannerWindow, TheShippedBannerSizesTheControlAndPlaysFourFramesOfThreeSeconds)
{
    ASSERT_TRUE(m_banner.LoadGifResource(IDR_BANNER_GIF, L"GIF"));
    EXPECT_EQ(ControlSize().cx, 479);
    EXPECT_EQ(ControlSize().cy, 236);
    EXPECT_EQ(m_banner.m_canvasSize.width, 479);
    EXPECT_EQ(m_banner.m_canvasSize.height, 236);
    ASSERT_EQ(m_banner.Frames().size(), 4u) << "every frame decodes";
    for (const GifFrame& frame : m_banner.Frames()) {
        EXPECT_EQ(frame.delay, 300u);
        EXPECT_EQ(frame.disposal, 1u);
        EXPECT_EQ(frame.size.width, 479);
    }
    // Loaded: the surface holds the menu colour until the thread draws.
    EXPECT_EQ(m_banner.SurfacePixel(240, 118), ::GetSysColor(COLOR_MENU));

    m_banner.RecordWaits(0, 0);
    m_banner.StartAnimation();
    ASSERT_TRUE(m_banner.ThreadRuns());
    ASSERT_TRUE(m_banner.WaitForWaits(1));
    EXPECT_EQ(m_banner.Waits()[0].milliseconds, 3000u);
    // The first picture: the product's blue, and white lettering.
    const COLORREF corner = m_banner.SurfacePixel(2, 2);
    EXPECT_LT(GetRValue(corner), 64);
    EXPECT_GT(GetBValue(corner), 96);
    EXPECT_EQ(m_banner.SurfacePixel(40, 76), RGB(255, 255, 255)) << "the mark's white square";

    // A stop during the three-second wait ends the thread at once.
    const double before = NowMilliseconds();
    m_banner.StopAnimation();
    EXPECT_LT(NowMilliseconds() - before, 1000.0);
    EXPECT_FALSE(m_banner.ThreadRuns());
    EXPECT_EQ(m_banner.Waits().size(), 1u);
}

TEST_F(BannerWindow, WaitsFollowTheDelayRule)
{
    // Delays 0 to 4 wait 100 ms, 5 waits 50 ms, 10 waits 100 ms.
    const uint16_t delays[] = {0, 1, 2, 3, 4, 5, 10};
    const DWORD expected[] = {100, 100, 100, 100, 100, 50, 100};
    GifBuilder gif(2, 2, kPalette);
    for (uint16_t delay : delays) gif.Control(delay, 1).SolidImage(0, 0, 2, 2, kRedIndex);
    ASSERT_TRUE(Load(gif.Trailer().Bytes()));
    m_banner.RecordWaits(0, 0);
    m_banner.StartAnimation();
    const size_t recorded = 2 * std::size(delays) + 1;  // round twice
    ASSERT_TRUE(m_banner.WaitForWaits(recorded));
    m_banner.StopAnimation();

    const std::vector<TestBanner::Wait> waits = m_banner.Waits();
    for (size_t index = 0; index + 1 < recorded; ++index) {
        const DWORD wanted = expected[index % std::size(delays)];
        EXPECT_EQ(waits[index].milliseconds, wanted) << "wait " << index;
        // Measured loosely: the next frame comes no sooner than the wait and
        // not much later.
        const double measured = waits[index + 1].startedAt - waits[index].startedAt;
        EXPECT_GE(measured, wanted - 20.0) << "wait " << index;
        EXPECT_LT(measured, wanted + 1500.0) << "wait " << index;
    }
}

// A 16 x 16 animation whose second frame, an 8 x 8 blue square at (4, 4),
// has the given disposal; the first paints a pattern, the third a green
// corner at (0, 0), the fourth one at (14, 14).
std::vector<uint8_t> DisposalAnimation(uint8_t disposal)
{
    std::vector<uint8_t> pattern;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) pattern.push_back(static_cast<uint8_t>((x / 3 + y) % 2));  // red and yellow
    }
    GifBuilder gif(16, 16, kPalette);
    gif.Control(5, 1).Image(0, 0, 16, 16, pattern);
    gif.Control(5, disposal).SolidImage(4, 4, 8, 8, kBlueIndex);
    gif.Control(5, 1).SolidImage(0, 0, 2, 2, kGreenIndex);
    gif.Control(5, 1).SolidImage(14, 14, 2, 2, kGreenIndex);
    return gif.Trailer().Bytes();
}

COLORREF PatternAt(int x, int y)
{
    return (x / 3 + y) % 2 == 0 ? kRed : kYellow;
}

bool InSquare(int x, int y)
{
    return x >= 4 && x < 12 && y >= 4 && y < 12;
}

TEST_F(BannerWindow, DisposalTwoFillsOnlyTheFramesRectangleWithTheButtonFace)
{
    ASSERT_TRUE(Load(DisposalAnimation(2)));
    m_banner.RecordWaits(16, 16);
    m_banner.StartAnimation();
    ASSERT_TRUE(m_banner.WaitForWaits(3));
    m_banner.StopAnimation();
    const std::vector<TestBanner::Wait> waits = m_banner.Waits();
    const COLORREF buttonFace = ::GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(buttonFace, kRed);
    ASSERT_NE(buttonFace, kYellow);

    int wrong = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF shown = waits[1].surface[y * 16 + x];
            const COLORREF afterDisposal = waits[2].surface[y * 16 + x];
            const COLORREF expectedShown = InSquare(x, y) ? kBlue : PatternAt(x, y);
            const COLORREF expectedAfter = InSquare(x, y) ? buttonFace : (x < 2 && y < 2) ? kGreen : PatternAt(x, y);
            if (shown != expectedShown || afterDisposal != expectedAfter) {
                if (++wrong <= 5) ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << shown << " then " << afterDisposal;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(BannerWindow, DisposalThreeRestoresExactlyTheAreaTheFrameCovered)
{
    ASSERT_TRUE(Load(DisposalAnimation(3)));
    m_banner.RecordWaits(16, 16);
    m_banner.StartAnimation();
    ASSERT_TRUE(m_banner.WaitForWaits(6));  // one round and the next one's start
    m_banner.StopAnimation();
    const std::vector<TestBanner::Wait> waits = m_banner.Waits();

    int wrong = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF shown = waits[1].surface[y * 16 + x];
            const COLORREF restored = waits[2].surface[y * 16 + x];
            const COLORREF secondRound = waits[5].surface[y * 16 + x];
            const COLORREF expectedShown = InSquare(x, y) ? kBlue : PatternAt(x, y);
            const COLORREF expectedRestored = (x < 2 && y < 2) ? kGreen : PatternAt(x, y);
            if (shown != expectedShown || restored != expectedRestored || secondRound != expectedShown) {
                if (++wrong <= 5) ADD_FAILURE() << "pixel " << x << "," << y << std::hex << ": " << shown << ", " << restored << ", " << secondRound;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(BannerWindow, AOneFrameGifIsStillAtItsScreenSizeAndStartsNoThread)
{
    GifBuilder gif(8, 6, kPalette);
    gif.LoopCount(0).Control(10, 1).SolidImage(0, 0, 8, 6, kGreenIndex).Trailer();
    ASSERT_TRUE(Load(gif.Bytes()));
    EXPECT_TRUE(m_banner.IsGif());
    EXPECT_TRUE(m_banner.HasStillPicture());
    EXPECT_TRUE(m_banner.Frames().empty());
    EXPECT_EQ(ControlSize().cx, 8);
    EXPECT_EQ(ControlSize().cy, 6);

    m_banner.StartAnimation();
    EXPECT_FALSE(m_banner.ThreadRuns());
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) EXPECT_EQ(m_banner.SurfacePixel(x, y), kGreen) << x << "," << y;
    }
}

TEST_F(BannerWindow, FramesTheLoaderRefusesAreDropped)
{
    // An image whose data is only the chain's terminator: the splitter
    // accepts it, the picture loader does not.
    const std::vector<uint8_t> undecodable = {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 0};

    GifBuilder allFail(4, 4, kPalette);
    allFail.Control(10, 1).Raw(undecodable).Control(10, 1).Raw(undecodable).Trailer();
    EXPECT_FALSE(Load(allFail.Bytes()));
    EXPECT_EQ(ControlSize().cx, 30) << "not resized";
    m_banner.StartAnimation();
    EXPECT_FALSE(m_banner.ThreadRuns());

    // One of two decodes: loaded, but there is nothing to play or show.
    GifBuilder oneDecodes(4, 4, kPalette);
    oneDecodes.Control(10, 1).Raw(undecodable).Control(10, 1).SolidImage(0, 0, 4, 4, kRedIndex).Trailer();
    ASSERT_TRUE(Load(oneDecodes.Bytes()));
    EXPECT_EQ(m_banner.Frames().size(), 1u);
    EXPECT_EQ(ControlSize().cx, 4);
    m_banner.StartAnimation();
    EXPECT_FALSE(m_banner.ThreadRuns());
    EXPECT_EQ(m_banner.SurfacePixel(1, 1), ::GetSysColor(COLOR_MENU));

    // Broken before its first frame: nothing loads.
    std::vector<uint8_t> truncated = GifBuilder(4, 4, kPalette).Control(10, 1).SolidImage(0, 0, 4, 4, 0).Bytes();
    truncated.resize(truncated.size() - 2);
    EXPECT_FALSE(Load(truncated));
}

// A placeable metafile of no records whose frame is width x height units of
// unitsPerInch to the inch.
std::vector<uint8_t> PlaceableMetafile(int16_t width, int16_t height, uint16_t unitsPerInch)
{
    std::vector<uint8_t> data;
    const auto word = [&](uint16_t value) {
        data.push_back(static_cast<uint8_t>(value & 0xFF));
        data.push_back(static_cast<uint8_t>(value >> 8));
    };
    const auto dword = [&](uint32_t value) {
        word(static_cast<uint16_t>(value & 0xFFFF));
        word(static_cast<uint16_t>(value >> 16));
    };
    dword(0x9AC6CDD7);  // key
    word(0);            // handle
    word(0), word(0), word(static_cast<uint16_t>(width)), word(static_cast<uint16_t>(height));
    word(unitsPerInch);
    dword(0);
    uint16_t checksum = 0;
    for (size_t at = 0; at < 20; at += 2) checksum ^= static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
    word(checksum);
    // The metafile header (9 words) and the end record (3 words).
    word(1), word(9), word(0x0300), dword(12), word(0), dword(3), word(0);
    dword(3), word(0);
    return data;
}

TEST_F(BannerWindow, OtherPicturesAreStillAndSizedFromHimetricAtTheScreensDpi)
{
    tn::WindowDc screen(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen.get(), LOGPIXELSX), 96) << "the cases assume 96 dots per inch";
    ASSERT_EQ(::GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
    const struct {
        int16_t width, height;
        uint16_t unitsPerInch;
        long himetricWidth;
        int pixelsWide, pixelsHigh;
    } cases[] = {
        {2540, 1270, 2540, 2540, 96, 48},  // an inch by half an inch
        {1440, 1440, 1440, 2540, 96, 96},
        {300, 100, 1000, 762, 29, 10},     // 28.8 and 9.6 pixels, rounded
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(std::to_string(item.width) + " units at " + std::to_string(item.unitsPerInch));
        ASSERT_TRUE(Load(PlaceableMetafile(item.width, item.height, item.unitsPerInch)));
        EXPECT_FALSE(m_banner.IsGif());
        ASSERT_TRUE(m_banner.HasStillPicture());
        EXPECT_EQ(m_banner.m_canvasSize.width, item.pixelsWide);
        EXPECT_EQ(m_banner.m_canvasSize.height, item.pixelsHigh);
        EXPECT_EQ(ControlSize().cx, item.pixelsWide);
        EXPECT_EQ(ControlSize().cy, item.pixelsHigh);
        m_banner.StartAnimation();
        EXPECT_FALSE(m_banner.ThreadRuns());
    }
    EXPECT_FALSE(Load({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}));
}

TEST_F(BannerWindow, DestroyingTheWindowStopsTheThreadAndALaterStartDoesNothingTwice)
{
    GifBuilder gif(2, 2, kPalette);
    gif.Control(300, 1).SolidImage(0, 0, 2, 2, 0).Control(300, 1).SolidImage(0, 0, 2, 2, 1).Trailer();
    ASSERT_TRUE(Load(gif.Bytes()));
    m_banner.RecordWaits(0, 0);
    m_banner.StartAnimation();
    m_banner.StartAnimation();  // already playing: no second thread
    ASSERT_TRUE(m_banner.WaitForWaits(1));
    EXPECT_FALSE(m_banner.WaitForWaits(2, 300)) << "one thread, resting on its first frame";

    const double before = NowMilliseconds();
    ::DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_LT(NowMilliseconds() - before, 1000.0);
    EXPECT_FALSE(m_banner.ThreadRuns());
}

TEST_F(BannerWindow, AThreadThatDoesNotStopKeepsWhatItDrawsWith)
{
    GifBuilder gif(4, 4, kPalette);
    gif.Control(5, 1).SolidImage(0, 0, 4, 4, kRedIndex).Control(5, 1).SolidImage(0, 0, 4, 4, kGreenIndex).Trailer();
    ASSERT_TRUE(Load(gif.Bytes()));
    tn::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_banner.HangInFirstWait(release.get());
    m_banner.StartAnimation();
    ASSERT_TRUE(m_banner.WaitForWaits(1));
    tn::UniqueHandle thread(m_banner.DuplicateThreadHandle());
    AnimationPlayer* stuck = m_banner.Player();

    // Clearing waits its 5 seconds, then lets the player go instead of
    // releasing it under the thread.
    const double before = NowMilliseconds();
    m_banner.ClearPicture();
    EXPECT_GE(NowMilliseconds() - before, 4900.0);
    EXPECT_FALSE(m_banner.ThreadRuns());
    EXPECT_NE(m_banner.Player(), stuck);
    EXPECT_EQ(::GetObjectType(stuck->m_surface.Dc()), static_cast<DWORD>(OBJ_MEMDC)) << "the surface still exists";
    EXPECT_EQ(stuck->m_frames.size(), 2u);
    EXPECT_EQ(::GetPixel(stuck->m_surface.Dc(), 1, 1), kRed);

    // The control loads and plays again beside it.
    m_banner.RecordWaits(0, 0);
    ASSERT_TRUE(Load(gif.Bytes()));
    m_banner.StartAnimation();
    EXPECT_TRUE(m_banner.ThreadRuns());
    EXPECT_TRUE(m_banner.WaitForWaits(2));
    m_banner.StopAnimation();

    // Woken, the old thread finds its stop request still standing and ends.
    ::SetEvent(release.get());
    EXPECT_EQ(::WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    EXPECT_TRUE(::GetExitCodeThread(thread.get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(::GetPixel(stuck->m_surface.Dc(), 1, 1), kRed) << "it drew nothing more";
}

TEST_F(BannerWindow, TheMinimiseImageMinimisesTheParent)
{
    const WPARAM clickedWithCode = MAKEWPARAM(IDC_MINIMIZE, 1);
    ::SendMessageW(m_banner.m_hWnd, WM_COMMAND, clickedWithCode, 0);
    EXPECT_FALSE(::IsIconic(m_parent)) << "another notification than a click";
    ::SendMessageW(m_banner.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_LOGO, STN_CLICKED), 0);
    EXPECT_FALSE(::IsIconic(m_parent));
    ::SendMessageW(m_banner.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MINIMIZE, STN_CLICKED), 0);
    EXPECT_TRUE(::IsIconic(m_parent));
}

// The close image's question, answered by another thread: No, then Yes.
struct Answers {
    HWND banner = nullptr;
    DWORD dialogThread = 0;
    std::vector<std::wstring> questions;
    bool yesAndNoOnly = true;
    bool dialogLivedAfterNo = false;
};

HWND FindQuestion(DWORD timeout)
{
    const DWORD end = ::GetTickCount() + timeout;
    for (;;) {
        if (HWND box = ::FindWindowW(L"#32770", L"Tarnivo2.0安装")) return box;
        if (static_cast<LONG>(::GetTickCount() - end) >= 0) return nullptr;
        ::Sleep(20);
    }
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts)
{
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(CWnd::GetWindowText(child));
    return TRUE;
}

// The texts of a window's children.
std::vector<std::wstring> ChildTexts(HWND window)
{
    std::vector<std::wstring> texts;
    ::EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

DWORD WINAPI AnswerNoThenYes(void* argument)
{
    Answers& answers = *static_cast<Answers*>(argument);
    for (const int answer : {IDNO, IDYES}) {
        HWND box = FindQuestion(10000);
        if (box == nullptr) {
            ::PostThreadMessageW(answers.dialogThread, WM_QUIT, 0, 0);  // no question: end the test's dialog
            return 1;
        }
        const std::vector<std::wstring> texts = ChildTexts(box);
        answers.questions.push_back(std::count(texts.begin(), texts.end(), L"确定要退出吗?") == 1 ? L"asked" : L"?");
        answers.yesAndNoOnly = answers.yesAndNoOnly && ::GetDlgItem(box, IDYES) != nullptr &&
                               ::GetDlgItem(box, IDNO) != nullptr && ::GetDlgItem(box, IDOK) == nullptr &&
                               ::GetDlgItem(box, IDCANCEL) == nullptr;
        ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        if (answer == IDYES) break;
        for (int tries = 0; tries < 250 && ::IsWindow(box); ++tries) ::Sleep(20);
        answers.dialogLivedAfterNo = !::IsWindow(box) && ::IsWindow(::GetParent(answers.banner));
        ::PostMessageW(answers.banner, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, STN_CLICKED), 0);
    }
    return 0;
}

class CommandDialog : public CDialog {
public:
    explicit CommandDialog(Answers& answers) : CDialog(kCommandDialog), m_answers(answers) {}
    tn::UniqueHandle answering;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_banner.SubclassDlgItem(IDC_ANIMATION, this);
        m_answers.banner = m_banner.m_hWnd;
        m_answers.dialogThread = ::GetCurrentThreadId();
        answering.reset(::CreateThread(nullptr, 0, &AnswerNoThenYes, &m_answers, 0, nullptr));
        ::PostMessageW(m_banner.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, STN_CLICKED), 0);
        return TRUE;
    }

private:
    Answers& m_answers;
    CAnimationCtrl m_banner;
};

TEST(BannerCommands, TheCloseImageAsksAndOnlyYesEndsTheDialogWithIdClose)
{
    Answers answers;
    CommandDialog dialog(answers);
    EXPECT_EQ(dialog.DoModal(), IDCLOSE);
    ASSERT_TRUE(dialog.answering);
    EXPECT_EQ(::WaitForSingleObject(dialog.answering.get(), 10000), WAIT_OBJECT_0);
    MSG quit;
    (void)::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // left by a failed run
    EXPECT_EQ(answers.questions, (std::vector<std::wstring>{L"asked", L"asked"}));
    EXPECT_TRUE(answers.yesAndNoOnly);
    EXPECT_TRUE(answers.dialogLivedAfterNo) << "No changes nothing";
}

}  // namespace
