#pragma once

// What Debian's MinGW headers lack of UI Automation: uiautomationcore.h declares only the
// provider interfaces and uiautomationclient.h the property and pattern ids, and
// uiautomation.h does not compile as C++. The pattern interfaces below follow the Windows
// SDK's layout (method order is the vtable's); the ids are Windows' published values.
#include <uiautomationclient.h>
#include <uiautomationcore.h>

inline constexpr LPARAM UIA_ROOT_OBJECT_ID = -25;
inline constexpr HRESULT UIA_ELEMENT_NOT_AVAILABLE = static_cast<HRESULT>(0x80040201);

inline constexpr CONTROLTYPEID UIA_BUTTON = 50000, UIA_CHECK_BOX = 50002, UIA_RADIO_BUTTON = 50013,
                               UIA_SLIDER = 50015, UIA_TAB = 50018, UIA_TAB_ITEM = 50019,
                               UIA_TEXT = 50020, UIA_GROUP = 50026;
inline constexpr int UIA_TOGGLE_OFF = 0, UIA_TOGGLE_ON = 1;

inline const IID IID_UIA_INVOKE = {
    0x54fcb24b, 0xe18e, 0x47a2, {0xb4, 0xd3, 0xec, 0xcb, 0xe7, 0x75, 0x99, 0xa2}};
inline const IID IID_UIA_TOGGLE = {
    0x56d00bd0, 0xc4f4, 0x433c, {0xa8, 0x36, 0x1a, 0x52, 0xa5, 0x7e, 0x08, 0x92}};
inline const IID IID_UIA_RANGE_VALUE = {
    0x36dc7aef, 0x33e6, 0x4691, {0xaf, 0xe1, 0x2b, 0xe7, 0x27, 0x4b, 0x3d, 0x33}};
inline const IID IID_UIA_SELECTION = {
    0xfb8b03af, 0x3bdf, 0x48d4, {0xbd, 0x36, 0x1a, 0x65, 0x79, 0x3b, 0xe1, 0x68}};
inline const IID IID_UIA_SELECTION_ITEM = {
    0x2acad808, 0xb2d4, 0x452d, {0xa4, 0x07, 0x91, 0xff, 0x1a, 0xd1, 0x67, 0xb2}};

struct UiaInvokeProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke() = 0;
};
struct UiaToggleProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Toggle() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ToggleState(int* state) = 0;
};
struct UiaRangeValueProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetValue(double value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL* readOnly) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Maximum(double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Minimum(double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LargeChange(double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SmallChange(double* value) = 0;
};
struct UiaSelectionProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** selection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL* multiple) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL* required) = 0;
};
struct UiaSelectionItemProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* selected) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple** c) = 0;
};
