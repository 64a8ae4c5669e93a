#include "platform/files.hpp"

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string>
#include <windows.h>

#include "platform/windows/line_ends.hpp"

// Data files on Windows. Names come as the programs' own bytes, in the
// system's ANSI code page as the C runtime takes them. Written files go
// through text-mode semantics: every line feed is stored as CR LF.
namespace platform {
namespace {

std::wstring widen(const char* name) {
    int length = ::MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), length);
    wide.pop_back();  // the terminating NUL
    return wide;
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    HANDLE release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    bool close() {
        if (!valid()) return true;
        bool ok = ::CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

// A regular file on a disk; not a folder, a pipe or a device such as CON.
bool isDiskFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    return ::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HANDLE openForReading(const std::wstring& name) {
    return ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool writeAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > 0x100000 ? 0x100000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

std::wstring folderOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::wstring baseOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Where the new contents go: the file itself, or the file that a symbolic
// link names, so that the link stays a link and its file gets the contents.
// False when `name` is no regular file.
bool resolveTarget(const std::wstring& name, std::wstring& target) {
    Handle file(::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;  // a folder, a bad path
        target = name;  // a new file, made here
        return true;
    }
    if (!isDiskFile(file.get())) return false;
    DWORD length = ::GetFinalPathNameByHandleW(file.get(), nullptr, 0, FILE_NAME_NORMALIZED);
    if (length == 0) return false;
    std::wstring path(length, L'\0');
    length = ::GetFinalPathNameByHandleW(file.get(), path.data(), length, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= path.size()) return false;
    path.resize(length);
    target = path;
    return true;
}

// Makes a new, empty file beside the target under a name that no other file
// has; never opens an existing file.
HANDLE createTemporary(const std::wstring& target, std::wstring& temporary) {
    std::wstring stem = folderOf(target) + L"\\." + baseOf(target) + L".tmp" +
                        std::to_wstring(::GetCurrentProcessId());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + L"-" + std::to_wstring(attempt);
        HANDLE handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

// Replacing may do no more than opening the file for writing would: a
// read-only attribute or a folder's permissions that refuse it leave the
// file as it is. A file that does not exist yet may be made.
bool mayWrite(const std::wstring& target) {
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    Handle file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The pid in the name of a temporary file (".base.tmp<pid>-<n>"), or 0.
DWORD temporaryWriter(const std::wstring& name, const std::wstring& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    std::size_t at = prefix.size();
    DWORD pid = 0;
    std::size_t first = at;
    for (; at < name.size() && at - first < 10 && name[at] >= L'0' && name[at] <= L'9'; ++at) {
        pid = pid * 10 + static_cast<DWORD>(name[at] - L'0');
    }
    if (at == first || at >= name.size() || name[at] != L'-') return 0;
    std::size_t digits = ++at;
    while (at < name.size() && name[at] >= L'0' && name[at] <= L'9') ++at;
    return at > digits && at == name.size() ? pid : 0;
}

bool processRuns(DWORD pid) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    bool runs = !::GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
    ::CloseHandle(process);
    return runs;
}

// A writer that was killed before its rename left its temporary file; the
// next write of the same file removes it once that writer is gone.
void removeAbandonedTemporaries(const std::wstring& target) {
    std::wstring folder = folderOf(target);
    std::wstring prefix = L"." + baseOf(target) + L".tmp";
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        DWORD pid = temporaryWriter(found.cFileName, prefix);
        if (pid != 0 && pid != ::GetCurrentProcessId() && !processRuns(pid)) {
            ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace

InputFile::~InputFile() {
    if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool InputFile::open(const char* name) {
    if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
    Handle file(openForReading(widen(name)));
    if (!file.valid()) return false;  // a folder cannot be opened this way either
    if (!isDiskFile(file.get())) return false;
    handle_ = reinterpret_cast<std::intptr_t>(file.release());
    return true;
}

long InputFile::read(char* buffer, std::size_t size) {
    if (handle_ == -1) return -1;
    DWORD got = 0;
    DWORD wanted = size > 0x100000 ? 0x100000 : static_cast<DWORD>(size);
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, wanted, &got, nullptr)) return -1;
    return static_cast<long>(got);
}

// The writers' lock is a named mutex of the folder's full path: a folder
// handle takes no byte-range lock on Windows, and a mutex leaves no file
// behind. A mutex that its holder left by dying is taken over. The mutex is
// recursive, so holding it again while it is held needs no counting here.
FolderLock::FolderLock(const char* name) {
    std::wstring folder = folderOf(widen(name));
    wchar_t full[MAX_PATH * 4];
    DWORD length = ::GetFullPathNameW(folder.c_str(), MAX_PATH * 4, full, nullptr);
    if (length > 0 && length < MAX_PATH * 4) folder.assign(full, length);
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a of the path, case folded
    for (wchar_t c : folder) {
        hash = (hash ^ static_cast<std::uint64_t>(::towlower(c == L'/' ? L'\\' : c))) * 1099511628211ULL;
    }
    wchar_t suffix[32];
    ::swprintf(suffix, 32, L"%016llx", static_cast<unsigned long long>(hash));
    HANDLE mutex = nullptr;
    for (const wchar_t* space : {L"Global\\gloomhold-data-", L"Local\\gloomhold-data-"}) {
        mutex = ::CreateMutexW(nullptr, FALSE, (std::wstring(space) + suffix).c_str());
        if (mutex != nullptr) break;
    }
    if (mutex == nullptr) return;  // no lock to be had: the write goes on without it
    DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
    counted_ = true;
}

FolderLock::~FolderLock() {
    if (!counted_) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}

ReplaceResult replaceFile(const char* name, std::string_view contents) {
    FolderLock lock(name);
    std::wstring target;
    if (!resolveTarget(widen(name), target)) return ReplaceResult::cannotCreate;
    if (!mayWrite(target)) return ReplaceResult::cannotCreate;
    removeAbandonedTemporaries(target);
    std::wstring temporary;
    Handle file(createTemporary(target, temporary));
    if (!file.valid()) return ReplaceResult::cannotCreate;

    bool ok = writeAll(file.get(), withCrLf(contents));
    ok = ok && ::FlushFileBuffers(file.get()) != 0;
    ok = file.close() && ok;
    ok = ok && ::MoveFileExW(temporary.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        ::DeleteFileW(temporary.c_str());
        return ReplaceResult::cannotWrite;
    }
    return ReplaceResult::done;
}

bool mayReplaceFile(const char* name) {
    std::wstring target;
    return resolveTarget(widen(name), target) && mayWrite(target);
}

bool pathExists(const char* name) {
    return ::GetFileAttributesW(widen(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Windows has no file-size signal: a write beyond a quota simply fails.
void ignoreFileSizeSignal() {}

}  // namespace platform
