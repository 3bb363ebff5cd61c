#include "app/windowsconsole.h"

#include "app/reportmode.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

UINT g_nConsoleCodePage = 0; // the console's own code page, put back at exit

void RestoreConsoleCodePage()
{
    SetConsoleOutputCP(g_nConsoleCodePage);
}

std::string Utf8(const std::wstring& str)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, str.data(), static_cast<int>(str.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string strOut(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, str.data(), static_cast<int>(str.size()), strOut.data(),
                            n, nullptr, nullptr);
    return strOut;
}

} // namespace

void PrepareStandardStreams()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The texts are UTF-8 ("±" in the statistics, Chinese file names); a console window shows
    // them in its own code page unless told otherwise. Files and pipes get the bytes as they are.
    const HANDLE hOut = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD nMode = 0;
    if (hOut == nullptr || hOut == INVALID_HANDLE_VALUE || !GetConsoleMode(hOut, &nMode))
        return;
    const UINT nCodePage = GetConsoleOutputCP();
    if (nCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        g_nConsoleCodePage = nCodePage;
        std::atexit(RestoreConsoleCodePage);
    }
}

int StartWindowProgram()
{
    std::wstring strPath(MAX_PATH, L'\0');
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, strPath.data(), static_cast<DWORD>(strPath.size()))) >=
               strPath.size() &&
           strPath.size() < 32768)
        strPath.resize(strPath.size() * 2);
    strPath.resize(n);
    const std::size_t nSlash = strPath.find_last_of(L"\\/");
    const std::size_t nDot = strPath.find_last_of(L'.');
    if (nDot != std::wstring::npos && (nSlash == std::wstring::npos || nDot > nSlash))
        strPath.resize(nDot);
    strPath += L".exe";

    std::wstring strCommandLine = GetCommandLineW(); // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(strPath.c_str(), strCommandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        const DWORD nError = GetLastError();
        std::fprintf(stderr, "trendora: %s could not be started (Windows error %lu)\n",
                     Utf8(strPath).c_str(), static_cast<unsigned long>(nError));
        return kReportCannotOpen;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
