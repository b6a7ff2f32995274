// Windows' common file dialog: found among this thread's windows by its dialog class, answered
// with SendInput, the input a keyboard gives.
#include "SystemFileDialog.h"

#include <QDir>

#include <windows.h>

#include <cwchar>
#include <vector>

namespace SystemFileDialog {

namespace {

HWND shownDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t kind[16] = {};
            ::GetClassNameW(window, kind, 16);
            if (::IsWindowVisible(window) && std::wcscmp(kind, L"#32770") == 0) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

INPUT keyInput(WORD virtualKey, wchar_t character, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = character;
    input.ki.dwFlags = (character != 0 ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

void addKey(std::vector<INPUT>& inputs, WORD virtualKey) {
    inputs.push_back(keyInput(virtualKey, 0, false));
    inputs.push_back(keyInput(virtualKey, 0, true));
}

} // namespace

QString shownTitle() {
    HWND dialog = shownDialog();
    if (dialog == nullptr) {
        return {};
    }
    wchar_t title[256] = {};
    const int length = ::GetWindowTextW(dialog, title, 256);
    return QString::fromWCharArray(title, length);
}

std::string answer(const QString& path) {
    HWND dialog = shownDialog();
    if (dialog == nullptr) {
        return "no system file dialog is shown";
    }
    ::SetForegroundWindow(dialog);
    // The name field has the focus when the dialog opens: select what it holds (Home, Shift+End),
    // type over it, Return.
    std::vector<INPUT> inputs;
    addKey(inputs, VK_HOME);
    inputs.push_back(keyInput(VK_SHIFT, 0, false));
    addKey(inputs, VK_END);
    inputs.push_back(keyInput(VK_SHIFT, 0, true));
    for (const QChar c : QDir::toNativeSeparators(path)) {
        inputs.push_back(keyInput(0, c.unicode(), false));
        inputs.push_back(keyInput(0, c.unicode(), true));
    }
    addKey(inputs, VK_RETURN);
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        return "the system took " + std::to_string(sent) + " of " + std::to_string(inputs.size()) +
               " keystrokes";
    }
    return {};
}

void dismiss() {
    if (HWND dialog = shownDialog()) {
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

} // namespace SystemFileDialog
