#include "run_program.h"

#include "test_files.h"

#include <windows.h>

namespace testing_support {
namespace {

// A program that runs longer than this is taken to hang: it is ended and reported.
constexpr DWORD kProgramLimitMs = 120000;

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
    return wide;
}

// One word of a command line as the C runtime splits it again: in quotes, with each quote
// escaped and the backslashes before a quote (or before the closing quote) doubled.
std::wstring Quoted(const std::wstring& word) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof(inherit);
    inherit.bInheritHandle = TRUE;
    return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A Windows program ends its printed lines with CR LF; the tests compare lines.
std::string WithoutCarriageReturns(std::string text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines += text[i];
    }
    return lines;
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
    TempFolder capture;
    const std::string outPath = capture.File("out");
    const std::string errPath = capture.File("err");
    std::wstring command = Quoted(Wide(program));
    for (const std::string& argument : arguments) {
        command += L" " + Quoted(Wide(argument));
    }

    const HANDLE in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    ProgramResult result;
    const BOOL started = CreateProcessW(Wide(program).c_str(), command.data(), nullptr, nullptr,
                                        TRUE, 0, nullptr, nullptr, &startup, &process);
    for (const HANDLE handle : {in, out, err}) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    if (!started) {
        result.err = "cannot start " + program + " (error " + std::to_string(GetLastError()) + ")";
        return result;
    }
    CloseHandle(process.hThread);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.hProcess, kProgramLimitMs) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &exitCode)) {
        result.exitCode = static_cast<int>(exitCode);
    } else {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kProgramLimitMs);
    }
    CloseHandle(process.hProcess);
    result.out = WithoutCarriageReturns(ReadText(outPath));
    result.err = WithoutCarriageReturns(ReadText(errPath));
    return result;
}

} // namespace testing_support
