// Dialog scripts (see dialog_script.h).
#include "harness/dialog_script.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vxtest {

namespace {

const DWORD SEND_BOUND_MS = 3000;  // a dialog busy longer than this is not answering
DialogScript* s_script = NULL;     // the in-process script of this thread

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// WM_GETTEXT reaches controls of other processes too, and a bound keeps a hung one from hanging us.
std::string TextOf(HWND window)
{
    char text[2048] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, SEND_BOUND_MS, &length);
    return std::string(text, std::min<size_t>(length, sizeof(text) - 1));
}

BOOL CALLBACK AddChild(HWND child, LPARAM children)
{
    ((std::vector<HWND>*)children)->push_back(child);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND dialog)
{
    std::vector<HWND> children;
    EnumChildWindows(dialog, AddChild, (LPARAM)&children);
    return children;
}

// The copy-progress dialog: a Cancel button and a status static 954, nothing to confirm.
bool IsProgressDialog(const DialogView& view)
{
    return view.Has(IDCANCEL) && !view.Has(IDOK) && view.Has(954) && ClassOf(GetDlgItem(view.Window(), 954)) == "Static";
}

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK AddIfOfProcess(HWND window, LPARAM search)
{
    ProcessWindows* windows = (ProcessWindows*)search;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId)
        windows->found.push_back(window);
    return TRUE;
}

}  // namespace

// --- DialogView ------------------------------------------------------------------------------

std::string DialogView::Caption() const { return TextOf(dialog_); }
bool DialogView::Has(int id) const { return GetDlgItem(dialog_, id) != NULL; }
std::string DialogView::Text(int id) const { return Has(id) ? TextOf(GetDlgItem(dialog_, id)) : ""; }
bool DialogView::Enabled(int id) const { return Has(id) && IsWindowEnabled(GetDlgItem(dialog_, id)); }
bool DialogView::Visible(int id) const { return Has(id) && IsWindowVisible(GetDlgItem(dialog_, id)); }
bool DialogView::Checked(int id) const { return Send(id, BM_GETCHECK) == BST_CHECKED; }
std::string DialogView::MessageText() const { return Text(0xFFFF); }

HWND DialogView::Usable(int id, const char* action, bool mustShow) const
{
    HWND control = GetDlgItem(dialog_, id);
    const char* problem = control == NULL ? "it has no control" : !IsWindowEnabled(control) ? "the control is disabled"
        : mustShow && !IsWindowVisible(control) ? "the control is hidden" : nullptr;
    if (problem == nullptr)
        return control;
    ADD_FAILURE() << "cannot " << action << " " << id << " in " << Describe() << ": " << problem;
    return NULL;
}

void DialogView::Type(int id, const std::string& text)
{
    if (HWND control = Usable(id, "type into", false))
        SendMessageTimeoutA(control, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, SEND_BOUND_MS, NULL);
}

void DialogView::Click(int id)
{
    if (HWND control = Usable(id, "click", true))
        PostMessageA(control, BM_CLICK, 0, 0);
}

void DialogView::Check(int id, bool checked)
{
    if (Usable(id, "check", true) && Checked(id) != checked)
        Send(id, BM_CLICK);
}

void DialogView::Choose(int id)
{
    if (Usable(id, "choose", true) && !Checked(id))
        Send(id, BM_CLICK);
}

void DialogView::Notify(int id, WORD code)
{
    if (HWND control = Usable(id, "notify from", false))
        PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)control);
}

LRESULT DialogView::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog_, id), message, wParam, lParam, SMTO_ABORTIFHUNG, SEND_BOUND_MS, &result);
    return (LRESULT)result;
}

std::string DialogView::Describe() const
{
    std::string ids, text = MessageText();
    for (HWND child : ChildrenOf(dialog_)) {
        ids += (ids.empty() ? "" : " ") + std::to_string((int)(short)GetDlgCtrlID(child));
        if (ClassOf(child) == "Static" && text.size() < 200)
            text += (text.empty() ? "" : " | ") + TextOf(child);
    }
    return "\"" + Caption() + "\" [" + ids + "] \"" + text + "\"";
}

// --- DialogScript ----------------------------------------------------------------------------

DialogScript::DialogScript()
{
    EXPECT_EQ(s_script, nullptr) << "one in-process dialog script at a time";
    s_script = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, NULL, GetCurrentThreadId());
    timer_ = SetTimer(NULL, 0, 15, OnTimer);
    lastChange_ = GetTickCount();
}

DialogScript::DialogScript(DWORD processId) : processId_(processId) {}

DialogScript::~DialogScript()
{
    if (!finished_)
        Finish();
    if (processId_ == 0) {
        UnhookWindowsHookEx(hook_);
        KillTimer(NULL, timer_);
        s_script = NULL;
    }
}

DialogScript& DialogScript::Dialog(std::vector<int> ids, DialogAction act, const char* caption)
{
    Step step;
    step.ids = std::move(ids);
    step.act = std::move(act);
    step.anyCaption = caption == nullptr;
    step.caption = caption ? caption : "";
    steps_.push_back(step);
    return *this;
}

DialogScript& DialogScript::MessageBox(const std::string& text, int button, const char* caption)
{
    Step step;
    step.messageBox = true;
    step.text = text;
    step.button = button;
    step.anyCaption = caption == nullptr;
    step.caption = caption ? caption : "";
    steps_.push_back(step);
    return *this;
}

DialogScript& DialogScript::NoWindow()
{
    noWindow_ = true;
    return *this;
}

DialogScript& DialogScript::Timeout(DWORD ms)
{
    timeoutMs_ = ms;
    return *this;
}

bool DialogScript::Step::Matches(const DialogView& view) const
{
    if (!anyCaption && view.Caption() != caption)
        return false;
    if (messageBox)
        return view.Has(0xFFFF) && view.MessageText() == text;
    return std::all_of(ids.begin(), ids.end(), [&](int id) { return view.Has(id); });
}

std::string DialogScript::Step::Describe() const
{
    std::string what = messageBox ? "a message box \"" + text + "\"" : "a dialog with controls";
    for (int id : ids)
        what += " " + std::to_string(id);
    return anyCaption ? what : what + " captioned \"" + caption + "\"";
}

std::vector<HWND> DialogScript::Windows() const
{
    if (processId_ == 0)
        return mine_;
    ProcessWindows windows = { processId_, {} };
    EnumWindows(AddIfOfProcess, (LPARAM)&windows);
    std::reverse(windows.found.begin(), windows.found.end());  // bottom first: the newest ends last
    return windows.found;
}

void DialogScript::Fail(const std::string& what, HWND window)
{
    ADD_FAILURE() << what << (window != NULL ? " " + DialogView(window).Describe() : std::string())
                  << (next_ < steps_.size() ? "; step " + std::to_string(next_ + 1) + " expects " + steps_[next_].Describe() : "");
    failed_ = true;
    // In process the code under test waits in the dialog's modal loop: end it, so the run ends.
    if (window != NULL && processId_ == 0 && ClassOf(window) == "#32770")
        EndDialog(window, IDCANCEL);
}

void DialogScript::Appear(HWND window)
{
    DialogView view(window);
    std::string description = view.Describe();
    // Another process's window may be destroyed while it is read (the progress dialog, on top
    // again for a moment after the last question): what is gone is not a dialog.
    if (!IsWindow(window))
        return;
    if (std::find(seen_.begin(), seen_.end(), description) == seen_.end())
        seen_.push_back(description);
    if (failed_) {
        Fail("and then", window);
    } else if (next_ < steps_.size() && steps_[next_].Matches(view)) {
        Step& step = steps_[next_++];
        if (step.messageBox)
            view.Click(step.button);
        else
            step.act(view);
    } else if (!IsProgressDialog(view)) {
        Fail(next_ < steps_.size() ? "unexpected dialog" : "a dialog after the last step:", window);
    }
}

bool DialogScript::Late() const
{
    return GetTickCount() - lastChange_ > timeoutMs_;
}

void DialogScript::Tick()
{
    if (ticking_ || finished_)
        return;
    ticking_ = true;
    std::vector<HWND> windows = Windows();
    for (HWND window : windows) {
        if (!IsWindowVisible(window))
            continue;
        if (noWindow_ && !failed_)
            Fail("a window of the installer appeared:", window);
        if (ClassOf(window) == "#32770" && std::find(open_.begin(), open_.end(), window) == open_.end())
            open_.push_back(window);
    }
    open_.erase(std::remove_if(open_.begin(), open_.end(), [](HWND w) { return !IsWindow(w) || !IsWindowVisible(w); }), open_.end());
    HWND top = open_.empty() ? NULL : open_.back();
    if (top != top_) {
        top_ = top;
        lastChange_ = GetTickCount();
        if (top != NULL)
            Appear(top);
    } else if (top != NULL && !IsProgressDialog(DialogView(top)) && Late() && !failed_) {
        Fail("no step answered within " + std::to_string(timeoutMs_) + " ms:", top);
    }
    // Each new status text of the progress dialog is recorded, and counts as the run going on.
    if (top_ != NULL && IsWindow(top_) && IsProgressDialog(DialogView(top_))) {
        std::string text = DialogView(top_).Text(954);
        if (progress_.empty() || progress_.back() != text) {
            progress_.push_back(text);
            lastChange_ = GetTickCount();
        }
    }
    ticking_ = false;
}

DWORD DialogScript::Run(Program& program, DWORD totalMs)
{
    EXPECT_NE(processId_, 0u) << "Run drives another process";
    DWORD start = GetTickCount();
    lastChange_ = start;
    HANDLE process = program.Handle();
    // This thread's messages are pumped meanwhile: a DDE client's broadcast waits for every
    // top-level window, this thread's too.
    while (MsgWaitForMultipleObjects(1, &process, FALSE, 15, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Tick();
        bool waiting = next_ < steps_.size() || (top_ != NULL && !IsProgressDialog(DialogView(top_)));
        if (!failed_ && waiting && Late())
            Fail("nothing happened within " + std::to_string(timeoutMs_) + " ms", top_);
        if (!failed_ && GetTickCount() - start > totalMs)
            Fail("the program did not end within " + std::to_string(totalMs) + " ms", top_);
        if (failed_) {
            program.Kill();
            return Program::TIMED_OUT;
        }
    }
    Finish();
    return program.Wait(0);
}

void DialogScript::Finish()
{
    if (processId_ == 0)
        Tick();
    finished_ = true;
    if (failed_)
        return;
    if (next_ < steps_.size())
        ADD_FAILURE() << "step " << next_ + 1 << " of " << steps_.size() << " never came: " << steps_[next_].Describe();
    if (noWindow_ && !activated_.empty())
        ADD_FAILURE() << "a window was shown: " << activated_[0];
}

LRESULT CALLBACK DialogScript::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    DialogScript* self = s_script;
    if (self != NULL && code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = ((CBT_CREATEWNDA*)lParam)->lpcs;
        if (!(create->style & WS_CHILD)) {
            self->mine_.push_back((HWND)wParam);
            // Atoms stand for system classes; the dialog class is atom 0x8002.
            ULONG_PTR name = (ULONG_PTR)create->lpszClass;
            self->created_.push_back(name == 0x8002 ? "#32770" : HIWORD(name) ? create->lpszClass : "#atom");
        }
    } else if (self != NULL && code == HCBT_ACTIVATE) {
        self->activated_.push_back(ClassOf((HWND)wParam));
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void CALLBACK DialogScript::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_script != NULL)
        s_script->Tick();
}

}  // namespace vxtest
