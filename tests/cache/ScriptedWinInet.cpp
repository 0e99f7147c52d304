#include "ScriptedWinInet.h"

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

TScriptedWinInet* Script = nullptr;
const HMODULE ScriptedLibrary = reinterpret_cast<HMODULE>(0x5150);
size_t Cursor = 0;
HANDLE OpenHandle = nullptr;
uintptr_t NextHandle = 0xE000;
std::optional<std::string> OpenPattern; // the pattern of the enumeration under way; none: all

bool Matches(const TScriptEntry& e)
{
    if (!Script->MatchPattern || !OpenPattern)
        return true;
    const std::string url = e.Url.value_or("");
    auto startsWith = [&](const char* prefix) { return url.rfind(prefix, 0) == 0; };
    if (OpenPattern->empty())
        return !startsWith("Cookie:") && !startsWith("Visited:");
    return startsWith(OpenPattern->c_str());
}

// Moves the cursor to the next entry the enumeration picks.
void SkipUnpicked()
{
    while (Cursor < Script->Entries.size() && !Matches(Script->Entries[Cursor]))
        ++Cursor;
}

size_t TextBytes(const std::optional<std::string>& Text)
{
    return Text ? Text->size() + 1 : 0;
}

// Lays the entry out as WinINet does: the structure, then the texts it points into.
void Fill(const TScriptEntry& e, LPINTERNET_CACHE_ENTRY_INFOA Info)
{
    std::memset(Info, 0, sizeof *Info);
    char* free = reinterpret_cast<char*>(Info + 1);
    auto place = [&](const std::optional<std::string>& text, bool terminated = true) -> LPSTR {
        if (!text)
            return nullptr;
        char* at = free;
        std::memcpy(at, text->data(), text->size());
        free += text->size();
        if (terminated)
            *free++ = 0;
        return at;
    };
    Info->dwStructSize = sizeof *Info;
    Info->lpszSourceUrlName = place(e.Url);
    Info->lpszLocalFileName = place(e.LocalFile);
    Info->CacheEntryType = e.Type;
    Info->dwUseCount = e.UseCount;
    Info->dwHitRate = e.HitRate;
    Info->dwSizeLow = e.SizeLow;
    Info->dwSizeHigh = e.SizeHigh;
    Info->LastModifiedTime = e.LastModified;
    Info->ExpireTime = e.Expire;
    Info->LastAccessTime = e.LastAccess;
    Info->LastSyncTime = e.LastSync;
    Info->lpHeaderInfo = place(e.Header, !e.HeaderUnterminated);
    Info->dwHeaderInfoSize = e.Header ? static_cast<DWORD>(e.Header->size()) : 0;
    Info->lpszFileExtension = place(e.Extension);
    Info->dwExemptDelta = e.ExemptDelta;
}

TBufferCall Seen(LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    return {Info == nullptr, *Size, Info ? _msize(Info) : 0};
}

// Hands an entry out when the buffer holds it; else writes the size it needs
// (and the entry may grow right after).
BOOL Deliver(TScriptEntry& e, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    const DWORD required = TScriptedWinInet::RequiredSize(e);
    if (!Info || *Size < required) {
        *Size = required;
        Script->LastError = ERROR_INSUFFICIENT_BUFFER;
        if (Script->Growths > 0) {
            --Script->Growths;
            e.ExtraBytes += Script->GrowBy;
        }
        return FALSE;
    }
    Fill(e, Info);
    *Size = required;
    return TRUE;
}

HMODULE WINAPI ScriptedLoadLibraryA(LPCSTR Name)
{
    ++Script->LoadLibraryCalls;
    Script->LookedUp.push_back(Name);
    if (Script->LoadThrows)
        throw std::runtime_error("scripted failure");
    return Script->LibraryLoads ? ScriptedLibrary : nullptr;
}

FARPROC WINAPI ScriptedGetProcAddress(HMODULE Module, LPCSTR Name)
{
    Script->LookedUp.push_back(Name);
    if (Module != ScriptedLibrary || Script->MissingFunction == Name)
        return nullptr;
    return reinterpret_cast<FARPROC>(&ScriptedLoadLibraryA);
}

HANDLE WINAPI ScriptedFindFirst(LPCSTR Pattern, DWORD Flags, DWORD Filter, GROUPID Group,
    LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size, LPVOID, LPDWORD, LPVOID)
{
    TFindFirstCall call{Seen(Info, Size), Pattern == nullptr, Pattern ? Pattern : "", Flags, Filter, Group};
    Script->FirstCalls.push_back(call);
    auto open = [] {
        OpenHandle = reinterpret_cast<HANDLE>(NextHandle++);
        Script->OpenedHandles.push_back(OpenHandle);
        return OpenHandle;
    };
    if (Script->FirstError) {
        Script->LastError = Script->FirstError;
        return nullptr;
    }
    if (Pattern)
        OpenPattern = std::string(Pattern);
    else
        OpenPattern.reset();
    Cursor = 0;
    SkipUnpicked();
    if (Cursor >= Script->Entries.size()) {
        Script->LastError = Script->EndError;
        return nullptr;
    }
    if (!Deliver(Script->Entries[Cursor], Info, Size))
        return nullptr;
    ++Cursor;
    return open();
}

BOOL WINAPI ScriptedFindNext(HANDLE Handle, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size, LPVOID, LPDWORD, LPVOID)
{
    Script->NextCalls.push_back(Seen(Info, Size));
    if (!Handle || Handle != OpenHandle) {
        Script->LastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (Script->ThrowAfter >= 0 && Cursor >= static_cast<size_t>(Script->ThrowAfter))
        throw std::runtime_error("scripted failure");
    SkipUnpicked();
    if (Cursor >= Script->Entries.size()) {
        Script->LastError = Script->EndError;
        return FALSE;
    }
    if (!Deliver(Script->Entries[Cursor], Info, Size))
        return FALSE;
    ++Cursor;
    return TRUE;
}

HANDLE WINAPI ScriptedPlainFindFirst(LPCSTR Pattern, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    return ScriptedFindFirst(Pattern, 0, 0, 0, Info, Size, nullptr, nullptr, nullptr);
}

BOOL WINAPI ScriptedPlainFindNext(HANDLE Handle, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    return ScriptedFindNext(Handle, Info, Size, nullptr, nullptr, nullptr);
}

BOOL WINAPI ScriptedFindClose(HANDLE Handle)
{
    Script->ClosedHandles.push_back(Handle);
    if (!Handle) {
        Script->LastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (Handle == OpenHandle)
        OpenHandle = nullptr;
    return TRUE;
}

TScriptEntry* Find(LPCSTR Url)
{
    for (TScriptEntry& e : Script->Entries)
        if (e.Url && *e.Url == Url)
            return &e;
    return nullptr;
}

BOOL WINAPI ScriptedGetInfo(LPCSTR Url, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size, LPSTR, LPDWORD, LPVOID, DWORD)
{
    Script->InfoCalls.push_back(Seen(Info, Size));
    if (!Script->ThrowForUrl.empty() && Script->ThrowForUrl == Url)
        throw 42;
    if (Script->ZeroSizeSucceeds) {
        // Every other call: the first of a pair asks for 0 bytes, the second succeeds.
        const bool sizing = Script->InfoCalls.size() % 2 == 1;
        *Size = 0;
        Script->LastError = sizing ? ERROR_INSUFFICIENT_BUFFER : 0;
        return sizing ? FALSE : TRUE;
    }
    TScriptEntry* e = Find(Url);
    if (!e) {
        Script->LastError = Script->LookupError;
        return FALSE;
    }
    return Deliver(*e, Info, Size);
}

BOOL WINAPI ScriptedDelete(LPCSTR Url)
{
    auto& entries = Script->Entries;
    auto it = std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.Url && *e.Url == Url; });
    if (it == entries.end()) {
        Script->LastError = Script->LookupError;
        return FALSE;
    }
    Script->Deleted.push_back(Url);
    // An open enumeration goes on with the entry after the deleted one.
    if (static_cast<size_t>(it - entries.begin()) < Cursor)
        --Cursor;
    entries.erase(it);
    return TRUE;
}

DWORD WINAPI ScriptedGetLastError()
{
    return Script->LastError;
}

void WINAPI ScriptedSetLastError(DWORD Code)
{
    Script->LastError = Code;
}

BOOL WINAPI ScriptedToLocal(const FILETIME* Utc, LPFILETIME Local)
{
    if (Script->LocalTimeFails) {
        Script->LastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (!Script->TimeIsLocal)
        return ::FileTimeToLocalFileTime(Utc, Local);
    ULARGE_INTEGER time{{Utc->dwLowDateTime, Utc->dwHighDateTime}};
    time.QuadPart += static_cast<ULONGLONG>(Script->LocalShift);
    *Local = FILETIME{time.LowPart, time.HighPart};
    return TRUE;
}

BOOL WINAPI ScriptedToSystem(const FILETIME* Time, LPSYSTEMTIME System)
{
    if (Script->SystemTimeFails) {
        Script->LastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    return ::FileTimeToSystemTime(Time, System);
}

const CacheApi::TBinding ScriptedBinding{
    ScriptedLoadLibraryA,
    ScriptedGetProcAddress,
    ScriptedFindFirst,
    ScriptedFindNext,
    ScriptedFindClose,
    ScriptedGetInfo,
    ScriptedDelete,
    ScriptedGetLastError,
    ScriptedToLocal,
    ScriptedToSystem,
};

const WineUrlCache::TPlainApi ScriptedPlainApi{
    ScriptedPlainFindFirst,
    ScriptedPlainFindNext,
    ScriptedFindClose,
    ScriptedGetLastError,
    ScriptedSetLastError,
};

} // namespace

TScriptedWinInet::TScriptedWinInet() : FBinding(ScriptedBinding), FPlain(ScriptedPlainApi)
{
    Script = this;
    Cursor = 0;
    OpenHandle = nullptr;
    CacheApi::ResetLibraryFlag();
}

TScriptedWinInet::~TScriptedWinInet()
{
    Script = nullptr;
    CacheApi::ResetLibraryFlag();
}

DWORD TScriptedWinInet::RequiredSize(const TScriptEntry& e)
{
    return static_cast<DWORD>(sizeof(INTERNET_CACHE_ENTRY_INFOA) + TextBytes(e.Url) + TextBytes(e.LocalFile)
        + TextBytes(e.Header) + TextBytes(e.Extension) + e.ExtraBytes);
}
