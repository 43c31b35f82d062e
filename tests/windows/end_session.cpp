// end_session.exe: what Windows sends a windowed program when the user logs
// off, sent to the game's window. The game's window is SDL's (class
// "SDL_app"); one game runs at a time. The first message asks whether the
// session may end, the second says that it does. Prints each answer.
// Exit status: 0 both sent, 1 no game window, 2 a message not answered.
#include <cstdio>
#include <windows.h>

int main() {
    HWND window = FindWindowW(L"SDL_app", nullptr);
    if (!window) {
        printf("no game window\n");
        return 1;
    }
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                             5000, &answer)) {
        printf("WM_QUERYENDSESSION not answered\n");
        return 2;
    }
    printf("WM_QUERYENDSESSION: %s\n", answer ? "the session may end" : "refused");
    // The session ends only where every program agreed.
    if (!SendMessageTimeoutW(window, WM_ENDSESSION, answer ? TRUE : FALSE, ENDSESSION_LOGOFF,
                             SMTO_ABORTIFHUNG, 5000, &answer)) {
        // A game that has ended already has no window left to tell.
        if (!IsWindow(window)) {
            printf("WM_ENDSESSION: the window has closed already\n");
            return 0;
        }
        printf("WM_ENDSESSION not answered\n");
        return 2;
    }
    printf("WM_ENDSESSION answered\n");
    return 0;
}
