#include "platform/win32/uia_patterns.h"
#include "platform/win32/win32_uia_provider.h"
#include "win/test_window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Releases the COM reference it holds.
template <typename T> struct Ref {
    T* p = nullptr;
    Ref(T* object = nullptr) : p(object) {}
    ~Ref() {
        if (p != nullptr)
            p->Release();
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* operator->() const { return p; }
    operator T*() const { return p; }
};

constexpr UINT kRefresh = WM_APP + 0x40;
constexpr UINT kAction = WM_APP + 0x41;

AccessibleElement element(AccessibleRole role, std::int32_t key, int parent, const wchar_t* id,
                          const wchar_t* name, Rect bounds) {
    AccessibleElement e;
    e.role = role;
    e.key = key;
    e.parent = parent;
    e.automationId = id;
    e.name = name;
    e.bounds = bounds;
    e.focusable = role != AccessibleRole::Text && role != AccessibleRole::TabList;
    return e;
}

// A published tree, read and worked by calling the provider's objects in this process: the
// toggle and range values, which a client in another process cannot read under Wine.
class UiaProviderTest : public ::testing::Test {
protected:
    TestWindow window;
    Win32UiaProvider provider{window.handle(), kRefresh, kAction};
    IRawElementProviderFragment* root = nullptr;

    void SetUp() override {
        std::vector<AccessibleElement> tree = {
            element(AccessibleRole::TabList, 1, -1, L"tabs", L"Ansichten", {12, 70, 213, 136}),
            element(AccessibleRole::TabItem, 32, 0, L"tab.dashboard", L"Dashboard",
                    {12, 70, 213, 100}),
            element(AccessibleRole::TabItem, 49, 0, L"tab.curve", L"Kurve", {12, 106, 213, 136}),
            element(AccessibleRole::CheckBox, 512, -1, L"option.linkSliders", L"Koppeln",
                    {257, 428, 295, 448}),
            element(AccessibleRole::Slider, 480, -1, L"fan1.manual", L"Lüfter 1",
                    {259, 380, 450, 406}),
            element(AccessibleRole::Text, 1000007, -1, L"", L"2160 RPM", {259, 300, 330, 318}),
        };
        tree[2].selected = true;
        tree[3].toggled = true;
        tree[4].focused = true;
        tree[4].value = 2200.0;
        tree[4].minimum = 1200.0;
        tree[4].maximum = 6000.0;
        tree[4].smallChange = 50.0;
        tree[4].largeChange = 500.0;
        provider.publish(std::move(tree), 1.5f);
        IRawElementProviderSimple* simple = provider.root();
        ASSERT_NE(simple, nullptr);
        simple->QueryInterface(IID_IRawElementProviderFragment, reinterpret_cast<void**>(&root));
        simple->Release();
        ASSERT_NE(root, nullptr);
    }
    void TearDown() override {
        if (root != nullptr)
            root->Release();
    }

    static IRawElementProviderFragment* step(IRawElementProviderFragment* from,
                                             NavigateDirection direction) {
        IRawElementProviderFragment* to = nullptr;
        EXPECT_EQ(from->Navigate(direction, &to), S_OK);
        return to;
    }
    static std::wstring text(IRawElementProviderFragment* f, PROPERTYID property) {
        IRawElementProviderSimple* simple = nullptr;
        f->QueryInterface(IID_IRawElementProviderSimple, reinterpret_cast<void**>(&simple));
        VARIANT v;
        VariantInit(&v);
        simple->GetPropertyValue(property, &v);
        simple->Release();
        std::wstring out;
        if (v.vt == VT_BSTR)
            out = v.bstrVal;
        else if (v.vt == VT_I4)
            out = std::to_wstring(v.lVal);
        else if (v.vt == VT_BOOL)
            out = v.boolVal ? L"true" : L"false";
        VariantClear(&v);
        return out;
    }
    // The pattern's interface as a client gets it: asked of what GetPatternProvider gives.
    template <typename T>
    static T* pattern(IRawElementProviderFragment* f, PATTERNID id, const IID& iid) {
        IRawElementProviderSimple* simple = nullptr;
        f->QueryInterface(IID_IRawElementProviderSimple, reinterpret_cast<void**>(&simple));
        IUnknown* unknown = nullptr;
        simple->GetPatternProvider(id, &unknown);
        simple->Release();
        T* typed = nullptr;
        if (unknown != nullptr) {
            unknown->QueryInterface(iid, reinterpret_cast<void**>(&typed));
            unknown->Release();
        }
        return typed;
    }
    // The action the provider posted to the window: "key action value".
    std::wstring posted() {
        MSG m{};
        if (!PeekMessageW(&m, window.handle(), kAction, kAction, PM_REMOVE))
            return L"none";
        return std::to_wstring(Win32UiaProvider::actionKey(m.wParam)) + L" " +
               std::to_wstring(static_cast<int>(Win32UiaProvider::action(m.wParam))) + L" " +
               std::to_wstring(static_cast<int>(Win32UiaProvider::actionValue(m.lParam)));
    }
};

} // namespace

TEST_F(UiaProviderTest, TheTreeIsWalkedWithItsPropertiesAndScreenRectangles) {
    Ref<IRawElementProviderFragment> tabs(step(root, NavigateDirection_FirstChild));
    ASSERT_NE(tabs.p, nullptr);
    EXPECT_EQ(text(tabs, UIA_ControlTypePropertyId), L"50018");
    EXPECT_EQ(text(tabs, UIA_AutomationIdPropertyId), L"tabs");
    Ref<IRawElementProviderFragment> first(step(tabs, NavigateDirection_FirstChild));
    Ref<IRawElementProviderFragment> second(step(first, NavigateDirection_NextSibling));
    EXPECT_EQ(text(second, UIA_NamePropertyId), L"Kurve");
    EXPECT_EQ(step(second, NavigateDirection_NextSibling), nullptr);
    Ref<IRawElementProviderFragment> up(step(second, NavigateDirection_Parent));
    EXPECT_EQ(text(up, UIA_NamePropertyId), L"Ansichten");
    Ref<IRawElementProviderFragment> last(step(root, NavigateDirection_LastChild));
    EXPECT_EQ(text(last, UIA_ControlTypePropertyId), L"50020");
    EXPECT_EQ(text(last, UIA_NamePropertyId), L"2160 RPM");
    EXPECT_EQ(text(last, UIA_IsKeyboardFocusablePropertyId), L"false");

    SAFEARRAY* id = nullptr;
    ASSERT_EQ(last->GetRuntimeId(&id), S_OK);
    LONG at = 1;
    int part = 0;
    SafeArrayGetElement(id, &at, &part);
    EXPECT_EQ(part, 1000007);
    SafeArrayDestroy(id);
    POINT origin{0, 0};
    ClientToScreen(window.handle(), &origin);
    UiaRect r{};
    ASSERT_EQ(last->get_BoundingRectangle(&r), S_OK);
    EXPECT_EQ(r.left, origin.x + 259 * 1.5);
    EXPECT_EQ(r.width, 71 * 1.5);

    Ref<IRawElementProviderFragmentRoot> fragmentRoot;
    root->QueryInterface(IID_IRawElementProviderFragmentRoot,
                         reinterpret_cast<void**>(&fragmentRoot.p));
    Ref<IRawElementProviderFragment> focused;
    fragmentRoot->GetFocus(&focused.p);
    EXPECT_EQ(text(focused, UIA_AutomationIdPropertyId), L"fan1.manual");
    EXPECT_EQ(text(focused, UIA_HasKeyboardFocusPropertyId), L"true");
    Ref<IRawElementProviderFragment> hit;
    fragmentRoot->ElementProviderFromPoint(origin.x + 260 * 1.5, origin.y + 430 * 1.5, &hit.p);
    EXPECT_EQ(text(hit, UIA_AutomationIdPropertyId), L"option.linkSliders");
}

TEST_F(UiaProviderTest, PatternsReadTheStateAndPostWhatTheClientAsks) {
    Ref<IRawElementProviderFragment> tabs(step(root, NavigateDirection_FirstChild));
    Ref<IRawElementProviderFragment> box(step(tabs, NavigateDirection_NextSibling));
    Ref<IRawElementProviderFragment> slider(step(box, NavigateDirection_NextSibling));

    Ref<UiaToggleProvider> toggle(
        pattern<UiaToggleProvider>(box, UIA_TogglePatternId, IID_UIA_TOGGLE));
    ASSERT_NE(toggle.p, nullptr);
    EXPECT_EQ(pattern<UiaRangeValueProvider>(box, UIA_RangeValuePatternId, IID_UIA_RANGE_VALUE),
              nullptr);
    int state = -1;
    toggle->get_ToggleState(&state);
    EXPECT_EQ(state, UIA_TOGGLE_ON);
    EXPECT_EQ(toggle->Toggle(), S_OK);
    EXPECT_EQ(posted(), L"512 3 0");

    Ref<UiaRangeValueProvider> range(
        pattern<UiaRangeValueProvider>(slider, UIA_RangeValuePatternId, IID_UIA_RANGE_VALUE));
    ASSERT_NE(range.p, nullptr);
    double v = 0, lo = 0, hi = 0, small = 0;
    range->get_Value(&v);
    range->get_Minimum(&lo);
    range->get_Maximum(&hi);
    range->get_SmallChange(&small);
    EXPECT_EQ(v, 2200.0);
    EXPECT_EQ(lo, 1200.0);
    EXPECT_EQ(hi, 6000.0);
    EXPECT_EQ(small, 50.0);
    EXPECT_EQ(range->SetValue(3150.0), S_OK);
    EXPECT_EQ(posted(), L"480 5 3150");
    EXPECT_EQ(range->SetValue(9000.0), E_INVALIDARG) << "outside the fan's range";
    EXPECT_EQ(posted(), L"none");

    Ref<UiaSelectionProvider> selection(
        pattern<UiaSelectionProvider>(tabs, UIA_SelectionPatternId, IID_UIA_SELECTION));
    ASSERT_NE(selection.p, nullptr);
    SAFEARRAY* chosen = nullptr;
    selection->GetSelection(&chosen);
    LONG count = -1;
    SafeArrayGetUBound(chosen, 1, &count);
    EXPECT_EQ(count, 0) << "one selected tab";
    SafeArrayDestroy(chosen);
    Ref<IRawElementProviderFragment> tab(step(tabs, NavigateDirection_FirstChild));
    Ref<UiaSelectionItemProvider> item(
        pattern<UiaSelectionItemProvider>(tab, UIA_SelectionItemPatternId, IID_UIA_SELECTION_ITEM));
    BOOL selected = TRUE;
    item->get_IsSelected(&selected);
    EXPECT_FALSE(selected);
    EXPECT_EQ(item->Select(), S_OK);
    EXPECT_EQ(posted(), L"32 4 0");
    EXPECT_EQ(tab->SetFocus(), S_OK);
    EXPECT_EQ(posted(), L"32 1 0");

    // Once the window is gone the elements say so.
    provider.disconnect();
    EXPECT_EQ(toggle->get_ToggleState(&state), UIA_ELEMENT_NOT_AVAILABLE);
    EXPECT_EQ(item->Select(), UIA_ELEMENT_NOT_AVAILABLE);
    EXPECT_EQ(posted(), L"none");
}

TEST_F(UiaProviderTest, OnlyTheRootObjectIdIsAnswered) {
    LRESULT result = 0;
    EXPECT_FALSE(provider.onGetObject(0, static_cast<LPARAM>(OBJID_CLIENT), &result));
    EXPECT_TRUE(provider.onGetObject(0, UIA_ROOT_OBJECT_ID, &result));
    EXPECT_NE(result, 0);
    IRawElementProviderSimple* simple = nullptr;
    root->QueryInterface(IID_IRawElementProviderSimple, reinterpret_cast<void**>(&simple));
    IRawElementProviderSimple* host = nullptr;
    EXPECT_EQ(simple->get_HostRawElementProvider(&host), S_OK);
    EXPECT_NE(host, nullptr) << "the window's own provider speaks for the root";
    if (host != nullptr)
        host->Release();
    simple->Release();
}
