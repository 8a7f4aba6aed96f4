// The real program as a Windows screen reader reads it, over UI Automation: the login window, its
// password box once the password is typed, and the converter window, where 100 is converted and
// then reset. Keys and clicks go in as a user's would, through SendInput: wine 10 acts on no
// control pattern (GetCurrentPatternAs, SetFocus: "not implemented"). Run by uia.sh, which
// starts the program and checks what the conversion and the reset announce.
#include <initguid.h> // defines the interface and class ids of the headers below, here

#include <windows.h>

#include <uiautomation.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

IUIAutomation *automation;

[[noreturn]] void fail(const std::wstring &what)
{
    std::fwprintf(stderr, L"uia-client: expected %ls\n", what.c_str());
    std::exit(1);
}

// The program answers from a process of its own, in its own time: polls for up to ten seconds.
void waitFor(const std::wstring &what, const std::wstring &read, const std::function<bool()> &ready)
{
    for (int tries = 0; !ready(); ++tries) {
        if (tries == 200)
            fail(what + L"; read " + read);
        Sleep(50);
    }
}

// Properties are read by their ids throughout: wine 10 answers GetCurrentPropertyValue and most of
// the named getters (get_CurrentIsPassword, ...) with "not implemented"; GetCurrentPropertyValueEx
// works.
std::wstring text(IUIAutomationElement *element, PROPERTYID id)
{
    VARIANT value{};
    element->GetCurrentPropertyValueEx(id, FALSE, &value);
    std::wstring read = value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"";
    VariantClear(&value);
    return read;
}

bool flag(IUIAutomationElement *element, PROPERTYID id)
{
    VARIANT value{};
    element->GetCurrentPropertyValueEx(id, FALSE, &value);
    return value.vt == VT_BOOL && value.boolVal == VARIANT_TRUE;
}

// The control of that object name: Qt makes automation ids of the object names down to it.
IUIAutomationElement *control(IUIAutomationElement *window, const std::wstring &name)
{
    IUIAutomationCondition *any = nullptr;
    IUIAutomationElementArray *found = nullptr;
    int count = 0;
    automation->CreateTrueCondition(&any);
    if (FAILED(window->FindAll(TreeScope_Descendants, any, &found)) ||
        FAILED(found->get_Length(&count)))
        fail(L"the controls of the window");
    for (int i = 0; i < count; ++i) {
        IUIAutomationElement *element = nullptr;
        found->GetElement(i, &element);
        if (text(element, UIA_AutomationIdPropertyId).ends_with(L"." + name))
            return element;
    }
    fail(L"a control " + name);
}

// The window of that title once it shows and takes the keys: a Window of that name.
IUIAutomationElement *window(const std::wstring &title)
{
    HWND found = nullptr;
    waitFor(L"a window titled " + title + L" in the foreground", L"none", [&] {
        found = FindWindowW(nullptr, title.c_str());
        return found && IsWindowVisible(found) && SetForegroundWindow(found);
    });
    IUIAutomationElement *element = nullptr;
    CONTROLTYPEID type = 0;
    if (FAILED(automation->ElementFromHandle(found, &element)) ||
        FAILED(element->get_CurrentControlType(&type)))
        fail(L"the window " + title + L" read");
    if (text(element, UIA_NamePropertyId) != title || type != UIA_WindowControlTypeId)
        fail(L"a Window named " + title + L"; read " + text(element, UIA_NamePropertyId));
    return element;
}

void send(WORD key, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Characters as their keys, with Shift where the layout wants it.
void type(const std::wstring &keys)
{
    for (wchar_t character : keys) {
        const SHORT key = VkKeyScanW(character);
        if (HIBYTE(key) & 1)
            send(VK_SHIFT, 0);
        send(LOBYTE(key), 0);
        send(LOBYTE(key), KEYEVENTF_KEYUP);
        if (HIBYTE(key) & 1)
            send(VK_SHIFT, KEYEVENTF_KEYUP);
    }
}

// A click at the control's centre, which the bounding rectangle gives in screen pixels as
// left, top, width and height.
void click(IUIAutomationElement *element)
{
    VARIANT box{};
    double *edges = nullptr;
    if (FAILED(element->GetCurrentPropertyValueEx(UIA_BoundingRectanglePropertyId, FALSE, &box)) ||
        box.vt != (VT_ARRAY | VT_R8) ||
        FAILED(SafeArrayAccessData(box.parray, reinterpret_cast<void **>(&edges))))
        fail(L"the place of " + text(element, UIA_AutomationIdPropertyId));
    SetCursorPos(int(edges[0] + edges[2] / 2), int(edges[1] + edges[3] / 2));
    SafeArrayUnaccessData(box.parray);
    VariantClear(&box);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof input[0]);
}

void waitForName(IUIAutomationElement *element, const std::wstring &name)
{
    std::wstring read;
    waitFor(L"the result " + name, read,
            [&] { return (read = text(element, UIA_NamePropertyId)) == name; });
}

} // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUIAutomation, reinterpret_cast<void **>(&automation))))
        fail(L"a UI Automation client");

    IUIAutomationElement *login = window(L"Login - \"Orvane\" Brightfold");
    IUIAutomationElement *password = control(login, L"txtPassword");
    if (!flag(password, UIA_IsPasswordPropertyId))
        fail(L"the password box a password box (IsPassword)");
    // Wine 10 reads no pattern's property (the value among them): what a client can read of the
    // box must hold none of the password, and a wrong password would keep the converter away.
    // The keys go in order: once the focus has left a box, what was typed into it is there.
    const std::wstring typed = L"bluelanterns";
    IUIAutomationElement *ok = control(login, L"cmdOK");
    type(L"Ann\t" + typed + L"\t");
    waitFor(L"the focus on OK after the password", L"elsewhere",
            [&] { return flag(ok, UIA_HasKeyboardFocusPropertyId); });
    for (PROPERTYID id : {UIA_NamePropertyId, UIA_HelpTextPropertyId, UIA_FullDescriptionPropertyId,
                          UIA_ItemStatusPropertyId, UIA_LocalizedControlTypePropertyId}) {
        if (const std::wstring read = text(password, id); read.find(typed) != read.npos)
            fail(L"none of the password in the password box's property " + std::to_wstring(id) +
                 L"; read " + read);
    }
    type(L"\r");

    IUIAutomationElement *converter = window(L"Welcome Ann.");
    IUIAutomationElement *result = control(converter, L"lbl1");
    click(control(converter, L"txt1"));
    type(L"100");
    click(control(converter, L"cf")); // Celsius > Fahrenheit
    waitForName(result, L"212");
    click(control(converter, L"Option1")); // Do Nothing
    waitForName(result, L"");
    PostMessageW(FindWindowW(nullptr, L"Welcome Ann."), WM_CLOSE, 0, 0);
    std::puts("uia-client: passed");
}
