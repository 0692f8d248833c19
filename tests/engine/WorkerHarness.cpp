#include "tests/engine/WorkerHarness.h"

namespace {

class TestApp : public CWinApp {};
TestApp theTestApp;

// Calls action with each process whose image is at the path image.
template <typename Action>
int ForEachProcessOf(const std::wstring& image, Action action)
{
    int found = 0;
    tn::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        tn::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                               FALSE, entry.th32ProcessID));
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (process && ::QueryFullProcessImageNameW(process.get(), 0, path, &length) &&
            ::lstrcmpiW(path, image.c_str()) == 0) {
            ++found;
            action(process.get());
        }
    }
    return found;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Event& event)
{
    static const char* const names[] = {"text", "hide", "show", "position"};
    return out << names[event.kind] << "(" << event.text.size() << " units, " << event.position << ")";
}

std::vector<Event> CompleteDisplay(const std::wstring& prefix, const std::wstring& end)
{
    std::vector<Event> events;
    for (int k = 0; k <= 100; ++k) {
        events.push_back({Event::Text, k < 100 ? prefix + std::to_wstring(k) + L"%" : end, 0});
        events.push_back({Event::Hide, L"", 0});
        events.push_back({Event::Show, L"", 0});
        events.push_back({Event::Position, L"", k});
    }
    return events;
}

BEGIN_MESSAGE_MAP(StatusRecorder, CStatic)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
END_MESSAGE_MAP()

LRESULT StatusRecorder::OnSetText(WPARAM, LPARAM lParam)
{
    const std::wstring text = reinterpret_cast<const wchar_t*>(lParam);
    events->push_back({Event::Text, text, 0});
    if (onText) onText(text);
    return Default();
}

LRESULT StatusRecorder::OnShowWindow(WPARAM shown, LPARAM)
{
    events->push_back({shown ? Event::Show : Event::Hide, L"", 0});
    return Default();
}

BEGIN_MESSAGE_MAP(ProgressRecorder, CProgressCtrl)
    ON_MESSAGE(PBM_SETPOS, OnSetPos)
END_MESSAGE_MAP()

LRESULT ProgressRecorder::OnSetPos(WPARAM position, LPARAM)
{
    events->push_back({Event::Position, L"", static_cast<int>(position)});
    if (onPosition) onPosition(static_cast<int>(position));
    return Default();
}

void RecordingWindow::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, 1004, status);
    DDX_Control(pDX, 1005, progress);
    DDX_Control(pDX, 1006, folder);
}

BOOL RecordingWindow::OnInitDialog()
{
    CInstallWindow::OnInitDialog();
    status.events = &events;
    progress.events = &events;
    progress.SetRange(0, 100);
    folder.SetWindowText(folderText.c_str());
    CWinThread* worker = AfxBeginThread(RUNTIME_CLASS(CInstall));
    if (worker == nullptr) return TRUE;
    workerThreadId = worker->m_nThreadID;
    HANDLE duplicate = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), worker->m_hThread, ::GetCurrentProcess(), &duplicate, SYNCHRONIZE, FALSE,
                      0);
    workerThread.reset(duplicate);
    WindowLease::Take();
    ::PostThreadMessageW(worker->m_nThreadID, WM_START_INSTALL,
                         reinterpret_cast<WPARAM>(static_cast<CInstallWindow*>(this)), 0);
    return TRUE;
}

void WorkerFixture::SetUp()
{
    m_scratch = m_folder.Path(L"work");
    ::CreateDirectoryW(m_scratch.c_str(), nullptr);
    m_target = m_scratch + L"\\target";
    m_current = m_scratch + L"\\current";
    ::CreateDirectoryW(m_current.c_str(), nullptr);
    ::GetCurrentDirectoryW(MAX_PATH, m_previousFolder);
    ::SetCurrentDirectoryW(m_current.c_str());
}

void WorkerFixture::TearDown()
{
    EndProducts();
    ::SetCurrentDirectoryW(m_previousFolder);
    WindowLease::Release();
}

INT_PTR WorkerFixture::RunToEnd(RecordingWindow& window, bool* quitPostedAgain)
{
    const INT_PTR result = window.DoModal();
    MSG quit;
    const bool posted = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    if (quitPostedAgain != nullptr) *quitPostedAgain = posted;
    WaitForTheWorkerToLetGo();
    return result;
}

void WorkerFixture::WaitForTheWorkerToLetGo()
{
    const ULONGLONG deadline = ::GetTickCount64() + 30000;
    while (WindowLease::Held() && ::GetTickCount64() < deadline) ::Sleep(100);
}

void WorkerFixture::UseCommandLine(const std::wstring& arguments)
{
    theTestApp.SetCurrentHandles(::GetModuleHandleW(nullptr), L"worker_tests.exe " + arguments);
}

std::wstring WorkerFixture::EntryName(int index)
{
    wchar_t name[16];
    swprintf(name, 16, L"e%03d.txt", index);
    return name;
}

std::string WorkerFixture::Archive(int count, int corruptIndex)
{
    std::vector<TestZipEntry> entries;
    for (int index = 0; index < count; ++index) {
        char name[16];
        snprintf(name, sizeof(name), "e%03d.txt", index);
        TestZipEntry entry = FileEntry(name, "entry " + std::to_string(index));
        if (index == corruptIndex) entry.crc = 0x12345678;
        entries.push_back(entry);
    }
    return BuildTestZip(entries);
}

std::string WorkerFixture::ProductBytes()
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring product = self;
    product = product.substr(0, product.find_last_of(L'\\')) + L"\\Tarnivo.exe";
    return ReadWholeFile(product).value_or("");
}

void WorkerFixture::PlaceProducts()
{
    const std::string product = ProductBytes();
    ASSERT_FALSE(product.empty());
    ASSERT_TRUE(::CreateDirectoryW(m_target.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    for (const std::wstring& folder : {m_target, m_current}) {
        ASSERT_TRUE(WriteWholeFile(folder + L"\\Tarnivo.exe", product));
    }
}

std::optional<std::string> WorkerFixture::LaunchRecord(const std::wstring& folder, DWORD waitMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + waitMs;
    do {
        if (auto record = ReadWholeFile(folder + L"\\launch.log"); record && !record->empty()) return record;
        ::Sleep(100);
    } while (::GetTickCount64() < deadline);
    return std::nullopt;
}

bool WorkerFixture::ProductProcessRuns(const std::wstring& image)
{
    return ForEachProcessOf(image, [](HANDLE) {}) > 0;
}

void WorkerFixture::EndProductsAt(const std::wstring& image)
{
    ForEachProcessOf(image, [](HANDLE process) {
        ::TerminateProcess(process, 0);
        ::WaitForSingleObject(process, 5000);
    });
}

void WorkerFixture::EndProducts() const
{
    for (const std::wstring& folder : {m_current, m_target}) EndProductsAt(folder + L"\\Tarnivo.exe");
}
