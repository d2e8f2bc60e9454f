// Test helpers that find and drive windows.
#include "harness/window_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vxtest {

std::string WindowText(HWND window)
{
    char text[4096];
    // WM_GETTEXT reaches windows of other processes too (GetWindowText does not for controls).
    LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof(text), (LPARAM)text);
    return std::string(text, (size_t)length);
}

std::string WindowClass(HWND window)
{
    char name[256];
    int length = GetClassNameA(window, name, sizeof(name));
    return std::string(name, length > 0 ? (size_t)length : 0);
}

namespace {

struct Search {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    Search* search = (Search*)parameter;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

struct Statics {
    std::vector<std::pair<int, std::string>> texts;  // top, text
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM parameter)
{
    if (_stricmp(WindowClass(child).c_str(), "Static") != 0)
        return TRUE;
    RECT rect;
    GetWindowRect(child, &rect);
    ((Statics*)parameter)->texts.emplace_back(rect.top, WindowText(child));
    return TRUE;
}

DialogAnswerer* s_answerer = NULL;

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly)
{
    Search search = { processId, visibleOnly, {} };
    EnumWindows(CollectWindow, (LPARAM)&search);
    return search.found;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        for (HWND window : TopLevelWindowsOf(processId, true)) {
            if (className != NULL && WindowClass(window) != className)
                continue;
            if (caption != NULL && WindowText(window) != caption)
                continue;
            return window;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control == NULL ? std::string() : WindowText(control);
}

std::vector<std::string> StaticTexts(HWND dialog)
{
    Statics statics;
    EnumChildWindows(dialog, CollectStatic, (LPARAM)&statics);
    std::stable_sort(statics.texts.begin(), statics.texts.end(),
        [](const std::pair<int, std::string>& a, const std::pair<int, std::string>& b) { return a.first < b.first; });
    std::vector<std::string> texts;
    for (const auto& entry : statics.texts)
        texts.push_back(entry.second);
    return texts;
}

std::string MessageBoxText(HWND box)
{
    return ControlText(box, 0xFFFF);
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void TypeInto(HWND dialog, int id, const std::string& text)
{
    HWND control = GetDlgItem(dialog, id);
    ASSERT_NE(control, (HWND)NULL) << "no control " << id;
    SendMessageA(control, WM_SETTEXT, 0, (LPARAM)text.c_str());
}

DialogAnswerer::DialogAnswerer()
{
    s_answerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, NULL, GetCurrentThreadId());
    EXPECT_NE(hook_, (HHOOK)NULL);
}

DialogAnswerer::~DialogAnswerer()
{
    if (hook_ != NULL)
        UnhookWindowsHookEx(hook_);
    s_answerer = NULL;
}

void DialogAnswerer::Queue(int buttonId)
{
    answers_.push_back(buttonId);
}

LRESULT CALLBACK DialogAnswerer::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    DialogAnswerer* self = s_answerer;
    if (self != NULL) {
        HWND window = (HWND)wParam;
        if (code == HCBT_CREATEWND) {
            CBT_CREATEWNDA* create = (CBT_CREATEWNDA*)lParam;
            const char* name = create->lpcs->lpszClass;
            // Atoms stand for system classes; the dialog class is atom 0x8002.
            if ((ULONG_PTR)name == 0x8002)
                self->created_.push_back("#32770");
            else if (HIWORD((ULONG_PTR)name) != 0)
                self->created_.push_back(name);
            else
                self->created_.push_back("#atom");
        } else if (code == HCBT_ACTIVATE) {
            self->activated_.push_back(WindowClass(window));
            // A dialog may be activated before its texts are set: it is read and answered from
            // its own modal loop, by a timer of this thread.
            if (self->activated_.back() == "#32770") {
                self->pending_.push_back(window);
                SetTimer(NULL, 0, 10, AnswerPending);
            }
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void CALLBACK DialogAnswerer::AnswerPending(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    DialogAnswerer* self = s_answerer;
    if (self == NULL)
        return;
    std::vector<HWND> pending;
    pending.swap(self->pending_);
    for (HWND window : pending) {
        if (!IsWindow(window))
            continue;
        self->seen_.push_back({ WindowText(window), MessageBoxText(window) });
        int answer = IDCANCEL;
        if (!self->answers_.empty()) {
            answer = self->answers_.front();
            self->answers_.erase(self->answers_.begin());
        }
        PressButton(window, answer);
    }
}

}  // namespace vxtest
