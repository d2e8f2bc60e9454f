// Dialog scripts: the dialogs a test expects, in order, each matched by its control ids (a message
// box by its text) and acted on; any other dialog fails the test at once, named, and is dismissed.
// Every wait is bounded. The copy-progress dialog (Cancel 2, static 954) is watched, its texts
// recorded, never answered unless a step names it. DialogScript() plays this thread's dialogs from
// inside their modal loops (a timer); DialogScript(processId) with Run plays another process's.
#pragma once
#include <functional>

#include "harness/wine_env.h"

namespace vxtest {

// A dialog of any process. Acting on a control a user could not use (missing, disabled; for
// clicks, hidden too) fails the test.
class DialogView {
public:
    explicit DialogView(HWND dialog) : dialog_(dialog) {}
    HWND Window() const { return dialog_; }
    std::string Caption() const;
    bool Has(int id) const { return GetDlgItem(dialog_, id) != NULL; }
    std::string Text(int id) const;
    bool Enabled(int id) const { return Has(id) && IsWindowEnabled(GetDlgItem(dialog_, id)); }
    bool Visible(int id) const { return Has(id) && IsWindowVisible(GetDlgItem(dialog_, id)); }
    bool Checked(int id) const { return Send(id, BM_GETCHECK) == BST_CHECKED; }
    std::string MessageText() const { return Text(0xFFFF); }  // a message box's text
    void Type(int id, const std::string& text);  // an edit field (the picker's hidden one too)
    void Click(int id);                           // BM_CLICK, posted: the last act of a step
    void Check(int id, bool checked = true);      // clicks a check box whose state differs
    void Choose(int id) { Check(id); }            // a radio button
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::string Describe() const;                 // "caption" [control ids] "texts"

private:
    HWND Usable(int id, const char* action, bool mustShow) const;
    HWND dialog_;
};

class DialogScript {
public:
    DialogScript();                          // this thread's dialogs
    explicit DialogScript(DWORD processId);  // another process's
    ~DialogScript();                         // Finish(), unless done
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // A dialog holding every control in ids (with this caption, when given).
    DialogScript& Dialog(std::vector<int> ids, std::function<void(DialogView&)> act, const char* caption = nullptr);
    // A message box with exactly this text (and caption), answered with button.
    DialogScript& MessageBox(const std::string& text, int button, const char* caption = nullptr);
    DialogScript& NoWindow();          // a silent run: any window shown fails
    DialogScript& Timeout(DWORD ms);   // the longest wait for the next event, 5 s unless set

    // Plays the script until the program ends (within totalMs); its exit code, or
    // Program::TIMED_OUT with the program ended once the script failed.
    DWORD Run(Program& program, DWORD totalMs = 120000);
    void Finish();  // every step played, nothing unexpected

    std::vector<std::string> ProgressTexts() const { return progress_; }

private:
    struct Step {
        std::vector<int> ids;
        std::string caption, text;  // caption "": any; text: a message box's
        std::function<void(DialogView&)> act;
        bool Matches(const DialogView& view) const;
        std::string Describe() const;
    };
    void Tick();
    void Appear(HWND window);
    void Fail(const std::string& what, HWND window);
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    DWORD processId_ = 0;
    std::vector<Step> steps_;
    size_t next_ = 0;
    bool noWindow_ = false, failed_ = false, finished_ = false, ticking_ = false;
    DWORD timeoutMs_ = 5000, lastChange_ = GetTickCount();
    std::vector<HWND> mine_, open_;  // this thread's top-level windows; dialogs shown, oldest first
    HWND top_ = NULL;
    std::vector<std::string> progress_;
    HHOOK hook_ = NULL;
    UINT_PTR timer_ = 0;
};

}  // namespace vxtest
