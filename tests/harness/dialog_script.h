// Dialog scripts: a test says which dialogs it expects, in order, and what to do in each. A
// dialog is matched by its control ids (several share one caption), a message box by its text;
// any other dialog fails the test at once, named by its caption, control ids and text, and is
// dismissed so that the run ends. Every wait is bounded. The copy-progress dialog (a Cancel
// button 2 and a static 954) is watched, never answered, unless a step names it.
//
// In process (DialogScript()), the code under test runs on the test's thread and each step is
// played from inside the dialog's own modal loop, by a timer of this thread; for another process
// (DialogScript(processId) and Run), its windows are polled from here. A step sees either through
// a DialogView. A dialog that comes back to the top after a nested one closed (the folder
// question after its picker) is offered to the next step again.
//
//   vxtest::DialogScript script;                       // dialogs of this thread
//   script.Dialog({ 1880, 2417, 2418 }, [](vxtest::DialogView& d) {
//       EXPECT_TRUE(d.Checked(1880));                  // read a control
//       d.Check(2418, false);                          // clear a box
//       d.Click(IDOK);                                 // press a button (last in a step)
//   });
//   script.MessageBox("Installation successful!\nHappy FTP'ing!", IDOK, "Congratulations!");
//   RunSetupWizard(NULL, 12, 15);
//   script.Finish();                                   // every step played, nothing else shown
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "harness/wine_env.h"

namespace vxtest {

// One dialog, read and acted on the same way whichever process shows it. Every action on a
// control that is missing (or, where a user could not act, disabled or hidden) fails the test.
class DialogView {
public:
    explicit DialogView(HWND dialog) : dialog_(dialog) {}
    HWND Window() const { return dialog_; }
    std::string Caption() const;
    bool Has(int id) const;
    std::string Text(int id) const;  // "" for a missing control
    bool Enabled(int id) const;
    bool Visible(int id) const;
    bool Checked(int id) const;
    std::string MessageText() const;  // a message box's text
    // Sets an edit field's text (a hidden one too: the folder picker hides its file name field).
    void Type(int id, const std::string& text);
    // BM_CLICK, posted: the dialog reacts once the step is over, so a click ends a step.
    void Click(int id);
    void Check(int id, bool checked = true);  // a check box, clicked when its state differs
    void Choose(int id);                      // a radio button, clicked unless chosen already
    // WM_COMMAND with a notification from the control, as a double click in a list sends it.
    void Notify(int id, WORD code);
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // "caption" [control ids] "text": how failures name a dialog.
    std::string Describe() const;

private:
    HWND Usable(int id, const char* action, bool mustShow) const;
    HWND dialog_;
};

using DialogAction = std::function<void(DialogView&)>;

class DialogScript {
public:
    DialogScript();                          // the dialogs of this thread
    explicit DialogScript(DWORD processId);  // the dialogs of another process
    ~DialogScript();                         // Finish() unless done
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Expects a dialog holding every control in ids (and this caption, when given).
    DialogScript& Dialog(std::vector<int> ids, DialogAction act, const char* caption = nullptr);
    // Expects a message box with exactly this text (and caption), answered with button.
    DialogScript& MessageBox(const std::string& text, int button, const char* caption = nullptr);
    // Nothing may appear: any visible window of the installer fails the test (a silent run).
    DialogScript& NoWindow();
    // The longest wait for the next thing to happen (5 s unless set).
    DialogScript& Timeout(DWORD ms);

    // Another process: plays the script until the program ends (within totalMs) and returns its
    // exit code; Program::TIMED_OUT, with the program ended, after a failure of the script.
    DWORD Run(Program& program, DWORD totalMs = 120000);
    // Every step played, nothing unexpected shown.
    void Finish();

    std::vector<std::string> Seen() const { return seen_; }           // every dialog, described
    std::vector<std::string> ProgressTexts() const { return progress_; }  // the progress dialog's texts
    // Classes of the windows created and activated on this thread (in process only), in order.
    std::vector<std::string> Created() const { return created_; }
    std::vector<std::string> Activated() const { return activated_; }

private:
    struct Step {
        std::vector<int> ids;
        std::string caption, text;
        bool messageBox = false, anyCaption = true;
        int button = 0;
        DialogAction act;
        bool Matches(const DialogView& view) const;
        std::string Describe() const;
    };
    void Tick();
    void Appear(HWND window);
    void Fail(const std::string& what, HWND window);
    bool Late() const;
    std::vector<HWND> Windows() const;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    DWORD processId_ = 0;  // 0: this thread
    std::vector<Step> steps_;
    size_t next_ = 0;
    bool noWindow_ = false, failed_ = false, finished_ = false, ticking_ = false;
    DWORD timeoutMs_ = 5000, lastChange_ = 0;
    std::vector<HWND> mine_, open_;  // this thread's top-level windows; dialogs shown, oldest first
    HWND top_ = NULL;
    std::vector<std::string> seen_, progress_, created_, activated_;
    HHOOK hook_ = NULL;
    UINT_PTR timer_ = 0;
};

}  // namespace vxtest
