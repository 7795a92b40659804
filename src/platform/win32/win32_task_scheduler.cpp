#include "platform/win32/win32_task_scheduler.h"

#include <windows.h>

#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>

namespace {

// Owns one COM interface pointer.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return p_; }
    T** out() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// Owns one BSTR.
class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return s_; }
    BSTR* out() { return &s_; }

private:
    BSTR s_ = nullptr;
};

// COM for the calling thread for as long as it lives; a thread that already has COM in
// another mode keeps it (and the calls still work there).
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

// The scheduler's root folder, connected as the calling user.
bool rootFolder(ComPtr<ITaskFolder>* folder) {
    ComPtr<ITaskService> service;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITaskService, reinterpret_cast<void**>(service.out()))))
        return false;
    VARIANT none;
    VariantInit(&none);
    if (FAILED(service->Connect(none, none, none, none)))
        return false;
    Bstr root(L"\\");
    return SUCCEEDED(service->GetFolder(root.get(), folder->out()));
}

// Calls use with the account of the running process; not at all when it cannot be read.
template <typename Use> void withCurrentUser(Use use) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size > 0) {
        // TOKEN_USER holds a pointer: the buffer must be aligned for one.
        auto* buffer = static_cast<TOKEN_USER*>(HeapAlloc(GetProcessHeap(), 0, size));
        if (buffer && GetTokenInformation(token, TokenUser, buffer, size, &size))
            use(buffer->User.Sid);
        if (buffer)
            HeapFree(GetProcessHeap(), 0, buffer);
    }
    CloseHandle(token);
}

} // namespace

bool Win32TaskScheduler::registerTask(const std::wstring& name, const std::wstring& xml) {
    ComScope com;
    ComPtr<ITaskFolder> folder;
    if (!rootFolder(&folder))
        return false;
    Bstr path(name);
    Bstr text(xml);
    VARIANT none;
    VariantInit(&none);
    ComPtr<IRegisteredTask> task;
    return SUCCEEDED(folder->RegisterTask(path.get(), text.get(), TASK_CREATE_OR_UPDATE, none, none,
                                          TASK_LOGON_INTERACTIVE_TOKEN, none, task.out())) &&
           static_cast<bool>(task);
}

bool Win32TaskScheduler::deleteTask(const std::wstring& name) {
    ComScope com;
    ComPtr<ITaskFolder> folder;
    if (!rootFolder(&folder))
        return false;
    Bstr path(name);
    const HRESULT hr = folder->DeleteTask(path.get(), 0);
    return SUCCEEDED(hr) || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

bool Win32TaskScheduler::readTask(const std::wstring& name, std::wstring* xml) {
    ComScope com;
    ComPtr<ITaskFolder> folder;
    if (!rootFolder(&folder))
        return false;
    Bstr path(name);
    ComPtr<IRegisteredTask> task;
    if (FAILED(folder->GetTask(path.get(), task.out())) || !task)
        return false;
    Bstr text;
    if (FAILED(task->get_Xml(text.out())))
        return false;
    *xml = text.get() ? std::wstring(text.get(), SysStringLen(text.get())) : std::wstring();
    return true;
}

std::wstring Win32TaskScheduler::currentUserId() {
    std::wstring id;
    withCurrentUser([&id](PSID sid) {
        LPWSTR text = nullptr;
        if (ConvertSidToStringSidW(sid, &text)) {
            id = text;
            LocalFree(text);
        }
    });
    return id;
}

std::wstring Win32TaskScheduler::currentUserName() {
    std::wstring account;
    withCurrentUser([&account](PSID sid) {
        wchar_t name[256] = {};
        wchar_t domain[256] = {};
        DWORD nameSize = 256;
        DWORD domainSize = 256;
        SID_NAME_USE use = SidTypeUnknown;
        if (LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
            account = std::wstring(domain) + L"\\" + name;
    });
    return account;
}
