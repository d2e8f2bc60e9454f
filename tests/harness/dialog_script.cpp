// Dialog scripts (see dialog_script.h).
#include "harness/dialog_script.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vxtest {

namespace {

const DWORD SEND_BOUND_MS = 3000;  // a dialog busy longer than this is not answering
DialogScript* s_script = NULL;     // the in-process script of this thread

std::string ClassOf(HWND window) { char name[64] = ""; return std::string(name, GetClassNameA(window, name, sizeof(name))); }

// WM_GETTEXT reaches controls of other processes too; the bound keeps a hung one from hanging us.
std::string TextOf(HWND window)
{
    char text[2048] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, SEND_BOUND_MS, &length);
    return std::string(text, std::min<size_t>(length, sizeof(text) - 1));
}

BOOL CALLBACK AddWindow(HWND window, LPARAM windows) { return ((std::vector<HWND>*)windows)->push_back(window), TRUE; }

bool IsProgressDialog(const DialogView& view) { return view.Has(IDCANCEL) && !view.Has(IDOK) && ClassOf(GetDlgItem(view.Window(), 954)) == "Static"; }

}  // namespace

std::string DialogView::Caption() const { return TextOf(dialog_); }
std::string DialogView::Text(int id) const { return Has(id) ? TextOf(GetDlgItem(dialog_, id)) : ""; }

HWND DialogView::Usable(int id, const char* action, bool mustShow) const
{
    HWND control = GetDlgItem(dialog_, id);
    const char* problem = control == NULL ? "it has no control" : !IsWindowEnabled(control) ? "the control is disabled"
        : mustShow && !IsWindowVisible(control) ? "the control is hidden" : nullptr;
    if (problem != nullptr)
        ADD_FAILURE() << "cannot " << action << " " << id << " in " << Describe() << ": " << problem;
    return problem == nullptr ? control : NULL;
}

void DialogView::Type(int id, const std::string& text)
{
    if (HWND control = Usable(id, "type into", false))
        SendMessageTimeoutA(control, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, SEND_BOUND_MS, NULL);
}

void DialogView::Click(int id) { if (HWND control = Usable(id, "click", true)) PostMessageA(control, BM_CLICK, 0, 0); }
void DialogView::Check(int id, bool checked) { if (Usable(id, "check", true) && Checked(id) != checked) Send(id, BM_CLICK); }

LRESULT DialogView::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog_, id), message, wParam, lParam, SMTO_ABORTIFHUNG, SEND_BOUND_MS, &result);
    return (LRESULT)result;
}

std::string DialogView::Describe() const
{
    std::vector<HWND> children;
    EnumChildWindows(dialog_, AddWindow, (LPARAM)&children);
    std::string ids, text = MessageText();
    for (HWND child : children) {
        ids += (ids.empty() ? "" : " ") + std::to_string((short)GetDlgCtrlID(child));
        if (ClassOf(child) == "Static" && GetDlgCtrlID(child) != 0xFFFF && text.size() < 200)
            text += (text.empty() ? "" : " | ") + TextOf(child);
    }
    return "\"" + Caption() + "\" [" + ids + "] \"" + text + "\"";
}

DialogScript::DialogScript()
{
    EXPECT_EQ(s_script, nullptr) << "one in-process dialog script at a time";
    s_script = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, NULL, GetCurrentThreadId());
    // The timer and the hook run inside the code under test: they keep its last error.
    timer_ = SetTimer(NULL, 0, 15, [](HWND, UINT, UINT_PTR, DWORD) {
        DWORD error = GetLastError();
        s_script->Tick();
        SetLastError(error);
    });
}

DialogScript::DialogScript(DWORD processId) : processId_(processId) {}

DialogScript::~DialogScript()
{
    if (!finished_)
        Finish();
    if (processId_ == 0)
        UnhookWindowsHookEx(hook_), KillTimer(NULL, timer_), s_script = NULL;
}

DialogScript& DialogScript::Dialog(std::vector<int> ids, std::function<void(DialogView&)> act, const char* caption)
{
    return steps_.push_back({ std::move(ids), caption ? caption : "", "", std::move(act) }), *this;
}

DialogScript& DialogScript::MessageBox(const std::string& text, int button, const char* caption)
{
    return steps_.push_back({ { 0xFFFF }, caption ? caption : "", text, [button](DialogView& box) { box.Click(button); } }), *this;
}

DialogScript& DialogScript::NoWindow() { return noWindow_ = true, *this; }
DialogScript& DialogScript::Timeout(DWORD ms) { return timeoutMs_ = ms, *this; }

bool DialogScript::Step::Matches(const DialogView& view) const
{
    return (caption.empty() || view.Caption() == caption) && (text.empty() || view.MessageText() == text)
        && std::all_of(ids.begin(), ids.end(), [&](int id) { return view.Has(id); });
}

std::string DialogScript::Step::Describe() const
{
    std::string what = text.empty() ? "a dialog with controls" : "a message box \"" + text + "\"";
    for (int id : ids)
        what += text.empty() ? " " + std::to_string(id) : "";
    return caption.empty() ? what : what + " captioned \"" + caption + "\"";
}

void DialogScript::Fail(const std::string& what, HWND window)
{
    ADD_FAILURE() << what << (window != NULL ? " " + DialogView(window).Describe() : "")
                  << (next_ < steps_.size() ? "; step " + std::to_string(next_ + 1) + " expects " + steps_[next_].Describe() : "");
    failed_ = true;
    // In process the code under test waits in the dialog's modal loop: ended, the run goes on.
    if (window != NULL && processId_ == 0 && ClassOf(window) == "#32770")
        EndDialog(window, IDCANCEL);
}

void DialogScript::Appear(HWND window)
{
    DialogView view(window);
    bool matches = !failed_ && next_ < steps_.size() && steps_[next_].Matches(view);
    // Another process's window may be gone while it is read (the progress dialog, on top again
    // for a moment after the last question): what is gone is not a dialog.
    if (!IsWindow(window))
        return;
    if (matches)
        steps_[next_++].act(view);
    else if (failed_ || !IsProgressDialog(view))
        Fail(failed_ ? "and then" : next_ < steps_.size() ? "unexpected dialog" : "a dialog after the last step:", window);
}

void DialogScript::Tick()
{
    if (ticking_ || finished_)
        return;
    ticking_ = true;
    std::vector<HWND> windows = mine_;
    if (processId_ != 0) {
        windows.clear();
        EnumWindows(AddWindow, (LPARAM)&windows);
        std::reverse(windows.begin(), windows.end());  // bottom first: the newest ends last
    }
    for (HWND window : windows) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (!IsWindowVisible(window) || (processId_ != 0 && owner != processId_))
            continue;
        if (noWindow_ && !failed_)
            Fail("a window of the installer appeared:", window);
        if (ClassOf(window) == "#32770" && std::find(open_.begin(), open_.end(), window) == open_.end())
            open_.push_back(window);
    }
    open_.erase(std::remove_if(open_.begin(), open_.end(), [](HWND w) { return !IsWindowVisible(w); }), open_.end());
    HWND top = open_.empty() ? NULL : open_.back();
    bool progress = top != NULL && IsProgressDialog(DialogView(top));
    if (top != top_) {
        top_ = top;
        lastChange_ = GetTickCount();
        if (top != NULL)
            Appear(top);
    } else if (top != NULL && !progress && !failed_ && GetTickCount() - lastChange_ > timeoutMs_) {
        Fail("no step answered within " + std::to_string(timeoutMs_) + " ms:", top);
    }
    // Each new status text of the progress dialog is recorded, and counts as the run going on.
    if (progress && IsWindow(top) && (progress_.empty() || progress_.back() != DialogView(top).Text(954))) {
        progress_.push_back(DialogView(top).Text(954));
        lastChange_ = GetTickCount();
    }
    ticking_ = false;
}

DWORD DialogScript::Run(Program& program, DWORD totalMs)
{
    for (DWORD start = lastChange_ = GetTickCount(); program.Wait(15) == Program::TIMED_OUT && program.Running();) {
        Tick();
        bool waiting = next_ < steps_.size() || (top_ != NULL && !IsProgressDialog(DialogView(top_)));
        if (!failed_ && waiting && GetTickCount() - lastChange_ > timeoutMs_)
            Fail("nothing happened within " + std::to_string(timeoutMs_) + " ms", top_);
        if (!failed_ && GetTickCount() - start > totalMs)
            Fail("the program did not end within " + std::to_string(totalMs) + " ms", top_);
        if (failed_)
            return program.Kill(), Program::TIMED_OUT;
    }
    Finish();
    return program.Wait(0);
}

void DialogScript::Finish()
{
    if (processId_ == 0)
        Tick();
    finished_ = true;
    if (!failed_ && next_ < steps_.size())
        ADD_FAILURE() << "step " << next_ + 1 << " of " << steps_.size() << " never came: " << steps_[next_].Describe();
}

LRESULT CALLBACK DialogScript::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    DWORD error = GetLastError();
    const CREATESTRUCTA* create = code == HCBT_CREATEWND ? ((CBT_CREATEWNDA*)lParam)->lpcs : nullptr;
    if (s_script != NULL && create != nullptr && !(create->style & WS_CHILD))
        s_script->mine_.push_back((HWND)wParam);
    SetLastError(error);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

}  // namespace vxtest
