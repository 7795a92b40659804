#include "platform/win32/win32_uia_provider.h"

// uiautomationcore.dll has no import library here: it is reached through GetProcAddress.
#include "platform/win32/uia_patterns.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

namespace {

// ---- Ids of its own ------------------------------------------------------------------------

constexpr int kUiaAppendRuntimeId = 3;
constexpr HRESULT kInvalidOperation = static_cast<HRESULT>(0x80131509);

constexpr EVENTID kFocusChangedEvent = 20005, kElementSelectedEvent = 20012,
                  kLiveRegionChangedEvent = 20024;
constexpr int kLivePolite = 1;

// ---- uiautomationcore.dll, looked up once ---------------------------------------------------

struct UiaApi {
    using ReturnProvider = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
    using HostFromHwnd = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
    using Disconnect = HRESULT(WINAPI*)(IRawElementProviderSimple*);
    using RaiseEvent = HRESULT(WINAPI*)(IRawElementProviderSimple*, EVENTID);
    using RaiseProperty = HRESULT(WINAPI*)(IRawElementProviderSimple*, PROPERTYID, VARIANT,
                                           VARIANT);
    using Listening = BOOL(WINAPI*)();
    ReturnProvider returnProvider = nullptr;
    HostFromHwnd hostFromHwnd = nullptr;
    Disconnect disconnect = nullptr;
    RaiseEvent raiseEvent = nullptr;
    RaiseProperty raiseProperty = nullptr;
    Listening listening = nullptr;
};

template <typename T> T lookUp(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const UiaApi& uiaApi() {
    static const UiaApi api = [] {
        UiaApi a;
        wchar_t path[MAX_PATH] = {};
        const UINT n = GetSystemDirectoryW(path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH - 24)
            return a;
        std::wcscat(path, L"\\uiautomationcore.dll");
        // Kept loaded for the rest of the process: the providers it handed out may be called
        // until the process ends.
        HMODULE dll = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (dll == nullptr)
            return a;
        a.returnProvider = lookUp<UiaApi::ReturnProvider>(dll, "UiaReturnRawElementProvider");
        a.hostFromHwnd = lookUp<UiaApi::HostFromHwnd>(dll, "UiaHostProviderFromHwnd");
        a.disconnect = lookUp<UiaApi::Disconnect>(dll, "UiaDisconnectProvider");
        a.raiseEvent = lookUp<UiaApi::RaiseEvent>(dll, "UiaRaiseAutomationEvent");
        a.raiseProperty =
            lookUp<UiaApi::RaiseProperty>(dll, "UiaRaiseAutomationPropertyChangedEvent");
        a.listening = lookUp<UiaApi::Listening>(dll, "UiaClientsAreListening");
        return a;
    }();
    return api;
}

CONTROLTYPEID controlType(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::TabList:
        return UIA_TAB;
    case AccessibleRole::TabItem:
        return UIA_TAB_ITEM;
    case AccessibleRole::Group:
        return UIA_GROUP;
    case AccessibleRole::RadioButton:
        return UIA_RADIO_BUTTON;
    case AccessibleRole::CheckBox:
        return UIA_CHECK_BOX;
    case AccessibleRole::Slider:
        return UIA_SLIDER;
    case AccessibleRole::Button:
        return UIA_BUTTON;
    case AccessibleRole::Text:
        return UIA_TEXT;
    }
    return UIA_TEXT;
}

PATTERNID patternOf(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::TabList:
    case AccessibleRole::Group:
        return UIA_SelectionPatternId;
    case AccessibleRole::TabItem:
    case AccessibleRole::RadioButton:
        return UIA_SelectionItemPatternId;
    case AccessibleRole::CheckBox:
        return UIA_TogglePatternId;
    case AccessibleRole::Slider:
        return UIA_RangeValuePatternId;
    case AccessibleRole::Button:
        return UIA_InvokePatternId;
    case AccessibleRole::Text:
        return 0;
    }
    return 0;
}

VARIANT boolVariant(bool value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT stringVariant(const std::wstring& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

VARIANT intVariant(int value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT doubleVariant(double value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

} // namespace

// ---- The state the fragments share ----------------------------------------------------------

class ElementProvider;

struct UiaShared {
    HWND window = nullptr;
    UINT refreshMessage = 0;
    UINT actionMessage = 0;
    std::atomic<unsigned> version{1}; // bumped by every change of the window
    std::atomic<bool> alive{true};

    std::mutex lock; // guards everything below
    std::vector<AccessibleElement> elements;
    float scale = 1.0f;
    unsigned publishedVersion = 0;
    ElementProvider* root = nullptr; // one reference held while the provider lives

    // Makes the published tree current: asks the window's thread when it is out of date.
    void refresh() {
        if (version.load() == publishedVersionNow() || !alive.load())
            return;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, refreshMessage, 0, 0, SMTO_NORMAL, 3000, &ignored);
    }
    unsigned publishedVersionNow() {
        std::lock_guard<std::mutex> guard(lock);
        return publishedVersion;
    }
    // A copy of the element of key; false when it is gone.
    bool find(std::int32_t key, AccessibleElement* out) {
        refresh();
        std::lock_guard<std::mutex> guard(lock);
        for (const AccessibleElement& e : elements) {
            if (e.key == key) {
                *out = e;
                return true;
            }
        }
        return false;
    }
    void post(std::int32_t key, AccessibleAction action, double value = 0.0) {
        LPARAM bits = 0;
        static_assert(sizeof(bits) == sizeof(value));
        std::memcpy(&bits, &value, sizeof(bits));
        PostMessageW(window, actionMessage,
                     (static_cast<WPARAM>(key) << 8) | static_cast<WPARAM>(action), bits);
    }
    // Client pixels of the window's origin on the screen.
    POINT origin() const {
        POINT p{0, 0};
        ClientToScreen(window, &p);
        return p;
    }
};

// One class for the root (key 0) and every element; the patterns it answers follow the role.
class ElementProvider final : public IRawElementProviderSimple,
                              public IRawElementProviderFragment,
                              public IRawElementProviderFragmentRoot,
                              public UiaInvokeProvider,
                              public UiaToggleProvider,
                              public UiaRangeValueProvider,
                              public UiaSelectionProvider,
                              public UiaSelectionItemProvider {
public:
    ElementProvider(std::shared_ptr<UiaShared> shared, std::int32_t key)
        : shared_(std::move(shared)), key_(key) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRawElementProviderSimple))
            *out = static_cast<IRawElementProviderSimple*>(this);
        else if (IsEqualIID(iid, IID_IRawElementProviderFragment))
            *out = static_cast<IRawElementProviderFragment*>(this);
        else if (IsEqualIID(iid, IID_IRawElementProviderFragmentRoot) && key_ == 0)
            *out = static_cast<IRawElementProviderFragmentRoot*>(this);
        else if (key_ != 0) {
            const PATTERNID pattern = myPattern();
            if (IsEqualIID(iid, IID_UIA_INVOKE) && pattern == UIA_InvokePatternId)
                *out = static_cast<UiaInvokeProvider*>(this);
            else if (IsEqualIID(iid, IID_UIA_TOGGLE) && pattern == UIA_TogglePatternId)
                *out = static_cast<UiaToggleProvider*>(this);
            else if (IsEqualIID(iid, IID_UIA_RANGE_VALUE) && pattern == UIA_RangeValuePatternId)
                *out = static_cast<UiaRangeValueProvider*>(this);
            else if (IsEqualIID(iid, IID_UIA_SELECTION) && pattern == UIA_SelectionPatternId)
                *out = static_cast<UiaSelectionProvider*>(this);
            else if (IsEqualIID(iid, IID_UIA_SELECTION_ITEM) &&
                     pattern == UIA_SelectionItemPatternId)
                *out = static_cast<UiaSelectionItemProvider*>(this);
        }
        if (*out == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
        if (options == nullptr)
            return E_POINTER;
        *options = ProviderOptions_ServerSideProvider;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (!shared_->alive)
            return UIA_ELEMENT_NOT_AVAILABLE;
        if (key_ == 0 || pattern == 0 || pattern != myPattern())
            return S_OK;
        // The pattern's own interface, so that a client may use it as it comes or ask it for
        // the interface again.
        switch (pattern) {
        case UIA_InvokePatternId:
            *out = static_cast<UiaInvokeProvider*>(this);
            break;
        case UIA_TogglePatternId:
            *out = static_cast<UiaToggleProvider*>(this);
            break;
        case UIA_RangeValuePatternId:
            *out = static_cast<UiaRangeValueProvider*>(this);
            break;
        case UIA_SelectionPatternId:
            *out = static_cast<UiaSelectionProvider*>(this);
            break;
        case UIA_SelectionItemPatternId:
            *out = static_cast<UiaSelectionItemProvider*>(this);
            break;
        default:
            return S_OK;
        }
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override {
        if (value == nullptr)
            return E_POINTER;
        VariantInit(value);
        if (!shared_->alive)
            return UIA_ELEMENT_NOT_AVAILABLE;
        if (key_ == 0)
            return S_OK; // the window's own provider speaks for it
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        switch (property) {
        case UIA_ControlTypePropertyId:
            *value = intVariant(controlType(e.role));
            break;
        case UIA_NamePropertyId:
            *value = stringVariant(e.name);
            break;
        case UIA_AutomationIdPropertyId:
            if (!e.automationId.empty())
                *value = stringVariant(e.automationId);
            break;
        case UIA_HasKeyboardFocusPropertyId:
            *value = boolVariant(e.focused);
            break;
        case UIA_IsKeyboardFocusablePropertyId:
            *value = boolVariant(e.focusable);
            break;
        case UIA_IsEnabledPropertyId:
        case UIA_IsControlElementPropertyId:
        case UIA_IsContentElementPropertyId:
            *value = boolVariant(true);
            break;
        case UIA_IsOffscreenPropertyId:
            *value = boolVariant(false);
            break;
        case UIA_LiveSettingPropertyId:
            if (e.live)
                *value = intVariant(kLivePolite);
            break;
        default:
            break;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    get_HostRawElementProvider(IRawElementProviderSimple** host) override {
        if (host == nullptr)
            return E_POINTER;
        *host = nullptr;
        if (key_ != 0 || !shared_->alive || uiaApi().hostFromHwnd == nullptr)
            return S_OK;
        return uiaApi().hostFromHwnd(shared_->window, host);
    }

    // IRawElementProviderFragment
    HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction,
                                       IRawElementProviderFragment** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (!shared_->alive)
            return UIA_ELEMENT_NOT_AVAILABLE;
        shared_->refresh();
        std::int32_t target = -1; // -1: nothing; 0: the root
        {
            std::lock_guard<std::mutex> guard(shared_->lock);
            const std::vector<AccessibleElement>& all = shared_->elements;
            const auto n = static_cast<int>(all.size());
            int self = -1, parent = -1;
            if (key_ != 0) {
                for (int i = 0; i < n && self < 0; ++i)
                    if (all[static_cast<std::size_t>(i)].key == key_)
                        self = i;
                if (self < 0)
                    return UIA_ELEMENT_NOT_AVAILABLE;
                parent = all[static_cast<std::size_t>(self)].parent;
            }
            auto childOf = [&](int p, int i) {
                return all[static_cast<std::size_t>(i)].parent == p;
            };
            switch (direction) {
            case NavigateDirection_Parent:
                if (key_ != 0)
                    target = parent < 0 ? 0 : all[static_cast<std::size_t>(parent)].key;
                break;
            case NavigateDirection_NextSibling:
                for (int i = self + 1; key_ != 0 && i < n && target < 0; ++i)
                    if (childOf(parent, i))
                        target = all[static_cast<std::size_t>(i)].key;
                break;
            case NavigateDirection_PreviousSibling:
                for (int i = self - 1; key_ != 0 && i >= 0 && target < 0; --i)
                    if (childOf(parent, i))
                        target = all[static_cast<std::size_t>(i)].key;
                break;
            case NavigateDirection_FirstChild:
                for (int i = 0; i < n && target < 0; ++i)
                    if (childOf(self, i))
                        target = all[static_cast<std::size_t>(i)].key;
                break;
            case NavigateDirection_LastChild:
                for (int i = n - 1; i >= 0 && target < 0; --i)
                    if (childOf(self, i))
                        target = all[static_cast<std::size_t>(i)].key;
                break;
            }
        }
        if (target >= 0)
            *out = fragment(target);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** id) override {
        if (id == nullptr)
            return E_POINTER;
        *id = nullptr;
        if (key_ == 0)
            return S_OK; // the window's own runtime id
        SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 2);
        if (array == nullptr)
            return E_OUTOFMEMORY;
        LONG at = 0;
        int part = kUiaAppendRuntimeId;
        SafeArrayPutElement(array, &at, &part);
        at = 1;
        part = key_;
        SafeArrayPutElement(array, &at, &part);
        *id = array;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* rect) override {
        if (rect == nullptr)
            return E_POINTER;
        *rect = UiaRect{0, 0, 0, 0};
        if (key_ == 0)
            return S_OK; // the window's own rectangle
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        float scale = 1.0f;
        {
            std::lock_guard<std::mutex> guard(shared_->lock);
            scale = shared_->scale;
        }
        const POINT o = shared_->origin();
        const double s = static_cast<double>(scale);
        *rect = UiaRect{o.x + e.bounds.left * s, o.y + e.bounds.top * s, e.bounds.width() * s,
                        e.bounds.height() * s};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** roots) override {
        if (roots == nullptr)
            return E_POINTER;
        *roots = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFocus() override {
        if (!shared_->alive)
            return UIA_ELEMENT_NOT_AVAILABLE;
        if (key_ != 0)
            shared_->post(key_, AccessibleAction::Focus);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** root) override {
        if (root == nullptr)
            return E_POINTER;
        *root = nullptr;
        std::lock_guard<std::mutex> guard(shared_->lock);
        if (shared_->root == nullptr)
            return UIA_ELEMENT_NOT_AVAILABLE;
        *root = static_cast<IRawElementProviderFragmentRoot*>(shared_->root);
        (*root)->AddRef();
        return S_OK;
    }

    // IRawElementProviderFragmentRoot
    HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(double x, double y,
                                                       IRawElementProviderFragment** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (!shared_->alive)
            return UIA_ELEMENT_NOT_AVAILABLE;
        shared_->refresh();
        const POINT o = shared_->origin();
        std::int32_t hit = -1;
        {
            std::lock_guard<std::mutex> guard(shared_->lock);
            const double s = static_cast<double>(shared_->scale);
            const int lx = static_cast<int>((x - o.x) / s);
            const int ly = static_cast<int>((y - o.y) / s);
            // Children come after their parents: the last element under the point is the
            // innermost.
            for (auto it = shared_->elements.rbegin(); it != shared_->elements.rend() && hit < 0;
                 ++it)
                if (it->bounds.contains(lx, ly))
                    hit = it->key;
        }
        if (hit >= 0)
            *out = fragment(hit);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (!shared_->alive)
            return UIA_ELEMENT_NOT_AVAILABLE;
        shared_->refresh();
        std::int32_t focused = -1;
        {
            std::lock_guard<std::mutex> guard(shared_->lock);
            for (const AccessibleElement& e : shared_->elements)
                if (e.focused)
                    focused = e.key;
        }
        if (focused >= 0)
            *out = fragment(focused);
        return S_OK;
    }

    // Invoke, Toggle
    HRESULT STDMETHODCALLTYPE Invoke() override { return act(AccessibleAction::Invoke); }
    HRESULT STDMETHODCALLTYPE Toggle() override { return act(AccessibleAction::Toggle); }
    HRESULT STDMETHODCALLTYPE get_ToggleState(int* state) override {
        if (state == nullptr)
            return E_POINTER;
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        *state = e.toggled ? UIA_TOGGLE_ON : UIA_TOGGLE_OFF;
        return S_OK;
    }

    // RangeValue
    HRESULT STDMETHODCALLTYPE SetValue(double value) override {
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        if (!(value >= e.minimum && value <= e.maximum))
            return E_INVALIDARG;
        shared_->post(key_, AccessibleAction::SetValue, value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Value(double* v) override { return range(v, 0); }
    HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL* readOnly) override {
        if (readOnly == nullptr)
            return E_POINTER;
        *readOnly = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Maximum(double* v) override { return range(v, 1); }
    HRESULT STDMETHODCALLTYPE get_Minimum(double* v) override { return range(v, 2); }
    HRESULT STDMETHODCALLTYPE get_LargeChange(double* v) override { return range(v, 3); }
    HRESULT STDMETHODCALLTYPE get_SmallChange(double* v) override { return range(v, 4); }

    // Selection (the tab list, the mode group)
    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** selection) override {
        if (selection == nullptr)
            return E_POINTER;
        *selection = nullptr;
        shared_->refresh();
        std::int32_t chosen = -1;
        {
            std::lock_guard<std::mutex> guard(shared_->lock);
            int self = -1;
            const auto& all = shared_->elements;
            for (std::size_t i = 0; i < all.size(); ++i) {
                if (all[i].key == key_)
                    self = static_cast<int>(i);
                else if (self >= 0 && all[i].parent == self && all[i].selected)
                    chosen = all[i].key;
            }
        }
        SAFEARRAY* array = SafeArrayCreateVector(VT_UNKNOWN, 0, chosen >= 0 ? 1 : 0);
        if (array == nullptr)
            return E_OUTOFMEMORY;
        if (chosen >= 0) {
            IRawElementProviderFragment* item = fragment(chosen);
            LONG at = 0;
            SafeArrayPutElement(array, &at, static_cast<IUnknown*>(item)); // adds a reference
            item->Release();
        }
        *selection = array;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL* multiple) override {
        if (multiple == nullptr)
            return E_POINTER;
        *multiple = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL* required) override {
        if (required == nullptr)
            return E_POINTER;
        *required = TRUE;
        return S_OK;
    }

    // SelectionItem (a tab, a mode)
    HRESULT STDMETHODCALLTYPE Select() override { return act(AccessibleAction::Select); }
    HRESULT STDMETHODCALLTYPE AddToSelection() override {
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        return e.selected ? S_OK : kInvalidOperation; // one tab, one mode at a time
    }
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override {
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        return e.selected ? kInvalidOperation : S_OK; // one of them is always chosen
    }
    HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* selected) override {
        if (selected == nullptr)
            return E_POINTER;
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        *selected = e.selected ? TRUE : FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple** c) override {
        if (c == nullptr)
            return E_POINTER;
        *c = nullptr;
        IRawElementProviderFragment* parent = nullptr;
        const HRESULT hr = Navigate(NavigateDirection_Parent, &parent);
        if (FAILED(hr) || parent == nullptr)
            return hr;
        const HRESULT asked =
            parent->QueryInterface(IID_IRawElementProviderSimple, reinterpret_cast<void**>(c));
        parent->Release();
        return asked;
    }

    // A fragment for key (0: the root), with one reference for the caller.
    IRawElementProviderFragment* fragment(std::int32_t key) {
        if (key == 0) {
            std::lock_guard<std::mutex> guard(shared_->lock);
            if (shared_->root != nullptr) {
                shared_->root->AddRef();
                return static_cast<IRawElementProviderFragment*>(shared_->root);
            }
        }
        auto* e = new ElementProvider(shared_, key);
        return static_cast<IRawElementProviderFragment*>(e);
    }

private:
    PATTERNID myPattern() {
        AccessibleElement e;
        return shared_->find(key_, &e) ? patternOf(e.role) : 0;
    }
    HRESULT act(AccessibleAction action) {
        AccessibleElement e;
        if (!shared_->alive || !shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        shared_->post(key_, action);
        return S_OK;
    }
    HRESULT range(double* out, int which) {
        if (out == nullptr)
            return E_POINTER;
        AccessibleElement e;
        if (!shared_->find(key_, &e))
            return UIA_ELEMENT_NOT_AVAILABLE;
        const double values[] = {e.value, e.maximum, e.minimum, e.largeChange, e.smallChange};
        *out = values[which];
        return S_OK;
    }

    std::shared_ptr<UiaShared> shared_;
    std::int32_t key_;
    std::atomic<ULONG> references_{1};
};

// ---- Win32UiaProvider -----------------------------------------------------------------------

Win32UiaProvider::Win32UiaProvider(HWND window, UINT refreshMessage, UINT actionMessage)
    : shared_(std::make_shared<UiaShared>()) {
    shared_->window = window;
    shared_->refreshMessage = refreshMessage;
    shared_->actionMessage = actionMessage;
}

Win32UiaProvider::~Win32UiaProvider() {
    disconnect();
}

namespace {

// A client's last release of the provider must not take COM's multithreaded apartment down
// under the window's thread (Wine does): before the first provider goes out, the program takes
// a hold on that apartment for the rest of its life. Not at start: it would delay the window.
void keepMultithreadedApartment() {
    static bool kept = false;
    if (kept)
        return;
    kept = true;
    using Increment = HRESULT(WINAPI*)(void**);
    HMODULE ole32 = LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto increment =
        ole32 != nullptr ? lookUp<Increment>(ole32, "CoIncrementMTAUsage") : nullptr;
    void* cookie = nullptr;
    if (increment != nullptr)
        increment(&cookie);
}

} // namespace

bool Win32UiaProvider::onGetObject(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (static_cast<LONG>(lParam) != UIA_ROOT_OBJECT_ID || !shared_->alive)
        return false;
    keepMultithreadedApartment();
    const UiaApi& api = uiaApi();
    IRawElementProviderSimple* provider = api.returnProvider != nullptr ? root() : nullptr;
    if (provider == nullptr)
        return false;
    *result = api.returnProvider(shared_->window, wParam, lParam, provider);
    provider->Release();
    return true;
}

IRawElementProviderSimple* Win32UiaProvider::root() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (!shared_->alive)
        return nullptr;
    if (shared_->root == nullptr)
        shared_->root = new ElementProvider(shared_, 0);
    shared_->root->AddRef();
    return static_cast<IRawElementProviderSimple*>(shared_->root);
}

void Win32UiaProvider::markStale() {
    shared_->version.fetch_add(1);
}

void Win32UiaProvider::publish(std::vector<AccessibleElement> elements, float scale) {
    const unsigned version = shared_->version.load();
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->elements = std::move(elements);
    shared_->scale = scale > 0.0f ? scale : 1.0f;
    shared_->publishedVersion = version;
}

bool Win32UiaProvider::listening() {
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        if (shared_->root == nullptr)
            return false;
    }
    const UiaApi& api = uiaApi();
    return api.listening != nullptr && api.listening() != FALSE;
}

void Win32UiaProvider::publishWithEvents(std::vector<AccessibleElement> elements, float scale,
                                         const std::vector<std::int32_t>& live) {
    std::vector<AccessibleElement> before;
    ElementProvider* root = nullptr;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        before = shared_->elements;
        root = shared_->root;
        if (root != nullptr)
            root->AddRef();
    }
    const std::vector<AccessibleElement> after = elements;
    publish(std::move(elements), scale);
    const UiaApi& api = uiaApi();
    if (root == nullptr || api.raiseEvent == nullptr || api.raiseProperty == nullptr) {
        if (root != nullptr)
            root->Release();
        return;
    }
    auto raise = [&](std::int32_t key, auto&& how) {
        IRawElementProviderFragment* f = root->fragment(key);
        IRawElementProviderSimple* simple = nullptr;
        f->QueryInterface(IID_IRawElementProviderSimple, reinterpret_cast<void**>(&simple));
        if (simple != nullptr) {
            how(simple);
            simple->Release();
        }
        f->Release();
    };
    using Kind = AccessibleChange::Kind;
    for (const AccessibleChange& c : accessibleChanges(before, after)) {
        raise(c.key, [&](IRawElementProviderSimple* p) {
            switch (c.kind) {
            case Kind::Focus:
                api.raiseEvent(p, kFocusChangedEvent);
                break;
            case Kind::Toggle:
                api.raiseProperty(p, UIA_ToggleToggleStatePropertyId,
                                  intVariant(c.before != 0.0 ? UIA_TOGGLE_ON : UIA_TOGGLE_OFF),
                                  intVariant(c.after != 0.0 ? UIA_TOGGLE_ON : UIA_TOGGLE_OFF));
                break;
            case Kind::Value:
                api.raiseProperty(p, UIA_RangeValueValuePropertyId, doubleVariant(c.before),
                                  doubleVariant(c.after));
                break;
            case Kind::Selected:
                api.raiseProperty(p, UIA_SelectionItemIsSelectedPropertyId, boolVariant(false),
                                  boolVariant(true));
                api.raiseEvent(p, kElementSelectedEvent);
                break;
            }
        });
    }
    for (std::int32_t key : live)
        raise(key,
              [&](IRawElementProviderSimple* p) { api.raiseEvent(p, kLiveRegionChangedEvent); });
    root->Release();
}

void Win32UiaProvider::disconnect() {
    if (!shared_->alive.exchange(false))
        return;
    ElementProvider* root = nullptr;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        root = shared_->root;
        shared_->root = nullptr;
        shared_->elements.clear();
    }
    if (root == nullptr)
        return;
    const UiaApi& api = uiaApi();
    if (api.disconnect != nullptr)
        api.disconnect(static_cast<IRawElementProviderSimple*>(root));
    // Clients holding the root are refused from now on; the window gives up its own hold.
    if (api.returnProvider != nullptr)
        api.returnProvider(shared_->window, 0, 0, nullptr);
    root->Release();
}

double Win32UiaProvider::actionValue(LPARAM lParam) {
    double value = 0.0;
    std::memcpy(&value, &lParam, sizeof(value));
    return value;
}
