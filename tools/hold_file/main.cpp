// hold_file <path>: opens the file sharing nothing, writes "ready" and keeps it open until a
// line arrives on standard input or standard input closes. Writes "failed <error>" instead
// when the file cannot be opened.

#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/win32/unique_handle.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: hold_file <path>\n", stderr);
        return 2;
    }
    const platform::win32::UniqueFileHandle file(::CreateFileA(
        argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        std::printf("failed %lu\n", ::GetLastError());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return 0;
}
