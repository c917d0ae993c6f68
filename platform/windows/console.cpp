// The current directory, the message box and the key read, over POSIX.
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/windows/win32.h"

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
    std::vector<char> path(4096);
    while (!getcwd(path.data(), path.size())) {
        if (errno != ERANGE || path.size() > (1u << 20)) return 0;
        path.resize(path.size() * 2);
    }
    size_t length = strlen(path.data());
    if (!buffer || length + 1 > size) return DWORD(length + 1);
    memcpy(buffer, path.data(), length + 1);
    return DWORD(length);
}

int MessageBoxA(void*, const char* text, const char* caption, unsigned) {
    if (!text) text = "";
    size_t length = strlen(text);
    fprintf(stderr, "[%s] %s%s", caption ? caption : "", text, length && text[length - 1] == '\n' ? "" : "\n");
    fflush(stderr);
    return IDOK;
}

int ConsoleReadKey() {
    if (!isatty(STDIN_FILENO)) return -1;
    termios saved;
    if (tcgetattr(STDIN_FILENO, &saved) != 0) return -1;
    termios raw = saved;
    raw.c_lflag &= ~(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    unsigned char key = 0;
    ssize_t got = read(STDIN_FILENO, &key, 1);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    return got == 1 ? key : -1;
}
