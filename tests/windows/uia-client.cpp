// The real program as a Windows screen reader reads it, over UI Automation: the login window, its
// password box once the password is typed, and the converter window, where 100 is converted and
// then reset. Keys and clicks go in as a user's would, through SendInput. Run by uia.sh, which
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

std::wstring text(IUIAutomationElement *element, PROPERTYID id)
{
    VARIANT value{};
    element->GetCurrentPropertyValue(id, &value);
    std::wstring read = value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"";
    VariantClear(&value);
    return read;
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

void click(IUIAutomationElement *element)
{
    RECT box;
    element->get_CurrentBoundingRectangle(&box);
    SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
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
    BOOL isPassword = FALSE;
    if (FAILED(password->get_CurrentIsPassword(&isPassword)) || !isPassword)
        fail(L"the password box a password box (IsPassword)");
    const std::wstring name = text(password, UIA_NamePropertyId), typed = L"bluelanterns";
    std::wstring value;
    type(L"Ann\t" + typed);
    waitFor(L"the password's value a mask character for each typed", value, [&] {
        value = text(password, UIA_ValueValuePropertyId);
        return value.size() == typed.size() && value.find_first_of(typed) == value.npos;
    });
    if (text(password, UIA_NamePropertyId) != name)
        fail(L"the password box's name unchanged by typing: " + name);
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
