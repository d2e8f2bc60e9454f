// The text window shared by the VANTIX Pro programs. Owns no globals: the text travels to
// WM_CREATE through the creation parameter, and the edit box is found again by its id.
#include "textwindow.h"

namespace {

const int ID_TEXT = 100;       // the read-only edit box filling the client area
const int CX_WINDOW = 560;     // initial size: room for a path and a few words beside it
const int CY_WINDOW = 380;

LRESULT OnCreate(HWND hwnd, const CREATESTRUCTA *pcs)
{
    const char *pszText = static_cast<const char *>(pcs->lpCreateParams);
    HWND hwndText = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", pszText,
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                        ES_READONLY | ES_AUTOVSCROLL,
                                    0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(ID_TEXT),
                                    pcs->hInstance, nullptr);
    if (!hwndText)
        return -1;
    SendMessageA(hwndText, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return 0;
}

void OnSize(HWND hwnd, int cx, int cy)
{
    MoveWindow(GetDlgItem(hwnd, ID_TEXT), 0, 0, cx, cy, TRUE);
}

LRESULT CALLBACK TextWindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTA *>(lParam));
    case WM_SIZE:
        OnSize(hwnd, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETFOCUS:
        SetFocus(GetDlgItem(hwnd, ID_TEXT));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

} // namespace

int RunTextWindow(HINSTANCE hInstance, int nCmdShow, const char *szClassName, const char *szTitle,
                  const char *pszText)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TextWindowProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = szClassName;
    if (!RegisterClassA(&wc))
        return 1;

    HWND hwnd = CreateWindowExA(0, szClassName, szTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CX_WINDOW, CY_WINDOW, nullptr, nullptr, hInstance,
                                const_cast<char *>(pszText));
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, nCmdShow);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
