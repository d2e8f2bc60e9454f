// Test helpers that find and drive windows: another program's windows (by process, class and
// caption) and the message boxes and dialogs the code under test opens on the test's own thread.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vxtest {

std::string WindowText(HWND window);
std::string WindowClass(HWND window);
std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly);
// Waits for a top-level window of the process whose class and caption match (NULL: any).
// Returns NULL after timeoutMs.
HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs);

std::string ControlText(HWND dialog, int id);
// The texts of a dialog's static controls, top to bottom (a message box's text is one of them).
std::vector<std::string> StaticTexts(HWND dialog);
// A message box's own text (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a button the way a click does: the dialog gets WM_COMMAND with BN_CLICKED.
void PressButton(HWND dialog, int id);
void TypeInto(HWND dialog, int id, const std::string& text);

// Watches the dialogs and message boxes created on the calling thread while it lives (a
// thread-local CBT hook, as the code under test runs on the test's thread) and answers each one,
// once its modal loop runs, with the next button id queued, or IDCANCEL when the queue is empty.
class DialogAnswerer {
public:
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    void Queue(int buttonId);
    struct Seen {
        std::string caption;
        std::string text;  // message text of a message box, "" for other dialogs
    };
    const std::vector<Seen>& Dialogs() const { return seen_; }
    // Every window created on the thread while watching, by class ("VXInstal", "#32770", ...).
    const std::vector<std::string>& CreatedClasses() const { return created_; }
    // Classes of the windows activated while watching, in order (a hidden window never is).
    const std::vector<std::string>& ActivatedClasses() const { return activated_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK AnswerPending(HWND, UINT, UINT_PTR timer, DWORD);
    HHOOK hook_;
    std::vector<int> answers_;
    std::vector<Seen> seen_;
    std::vector<std::string> created_;
    std::vector<std::string> activated_;
    std::vector<HWND> pending_;  // dialogs activated and not answered yet
};

}  // namespace vxtest
