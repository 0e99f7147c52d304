// ESystemError: a system call that failed. It records what could not be
// done, the call, and the system's code with the system's text for it,
// formatted once where the failure happens:
//
//     Cannot create window CacheListView: Invalid window handle (CreateWindowExA, error 1400)
//     Cannot navigate: Access is denied (IWebBrowser2::Navigate, 0x80070005)
//
// An error from GetLastError is written as its number, an HRESULT in
// hexadecimal; both are kept as an HRESULT.
#pragma once

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

class ESystemError : public std::runtime_error {
public:
    ESystemError(std::string_view What, std::string_view Call, HRESULT Result)
        : std::runtime_error(Text(What, Call, Result, false)), FCall(Call), FResult(Result)
    {
    }

    // The call's own error, from GetLastError (taken before anything else can change it).
    static ESystemError FromLastError(std::string_view What, std::string_view Call)
    {
        return ESystemError(What, Call, ::GetLastError());
    }

    const std::string& Call() const { return FCall; }
    HRESULT Result() const { return FResult; }

    // The system's text for a code, without its closing full stop and line end; empty when it has none.
    static std::string SystemText(HRESULT Result)
    {
        // Codes made from a Windows error find their text under that error.
        const DWORD id =
            HRESULT_FACILITY(Result) == FACILITY_WIN32 ? HRESULT_CODE(Result) : static_cast<DWORD>(Result);
        char* buffer = nullptr;
        const DWORD length = ::FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            id, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
        std::string text(buffer ? buffer : "", buffer ? length : 0);
        if (buffer)
            ::LocalFree(buffer);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                                 text.back() == '.'))
            text.pop_back();
        return text;
    }

private:
    ESystemError(std::string_view What, std::string_view Call, DWORD Error)
        : std::runtime_error(Text(What, Call, HRESULT_FROM_WIN32(Error), true)), FCall(Call),
          FResult(HRESULT_FROM_WIN32(Error))
    {
    }

    static std::string Text(std::string_view What, std::string_view Call, HRESULT Result, bool LastError)
    {
        char code[32];
        if (LastError)
            std::snprintf(code, sizeof code, "error %u", static_cast<unsigned>(HRESULT_CODE(Result)));
        else
            std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(Result));
        const std::string text = SystemText(Result);
        std::string message(What);
        if (!text.empty())
            message.append(": ").append(text);
        return message.append(" (").append(Call).append(", ").append(code).append(")");
    }

    std::string FCall;
    HRESULT FResult;
};

// Throws the call's error from GetLastError.
[[noreturn]] inline void ThrowLastError(std::string_view What, std::string_view Call)
{
    throw ESystemError::FromLastError(What, Call);
}

// Throws when the HRESULT is a failure.
inline void ThrowIfFailed(HRESULT Result, std::string_view What, std::string_view Call)
{
    if (FAILED(Result))
        throw ESystemError(What, Call, Result);
}
