// Windows side of platform.hpp. Everything crossing the system's boundary is
// UTF-16 there; it becomes UTF-8 here and nowhere else.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <io.h>
#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/common/platform.hpp"

namespace verdanel::platform {

namespace {
std::string utf8FromWide(const wchar_t* text, int length) {
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::string utf8FromWide(const wchar_t* text) { return utf8FromWide(text, static_cast<int>(wcslen(text))); }

std::wstring wideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), size);
    return out;
}

HANDLE handleOf(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
}  // namespace

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

void useUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

std::string environmentVariable(const char* name) {
    const std::wstring wideName = wideFromUtf8(name);
    const wchar_t* value = _wgetenv(wideName.c_str());
    return value ? utf8FromWide(value) : std::string();
}

std::string executablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD got = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (got == 0) return {};
        if (got < size) return utf8FromWide(buffer.data(), static_cast<int>(got));
        buffer.resize(buffer.size() * 2);
    }
}

bool stderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::uint64_t processId() { return GetCurrentProcessId(); }

std::string userTag() {
    wchar_t name[257];
    DWORD size = 257;
    return GetUserNameW(name, &size) && size > 1 ? utf8FromWide(name, static_cast<int>(size - 1)) : std::string("user");
}

std::tm localTime(std::time_t t) {
    std::tm local{};
    localtime_s(&local, &t);
    return local;
}

double strtodInCLocale(const char* text) {
    static const _locale_t cLocale = _create_locale(LC_ALL, "C");
    return _strtod_l(text, nullptr, cLocale);
}

// CP949 is Windows code page 949 (Unified Hangul Code). ASCII is the same in
// both; every other character goes through the system's tables, with
// best-fit replacements turned off, so a character CP949 lacks becomes "?"
// exactly as on Linux.
namespace {
constexpr UINT kCp949 = 949;

// Length of the well-formed UTF-8 sequence at text[0], or 0.
std::size_t utf8SequenceLength(std::string_view text, std::size_t& skip) {
    const unsigned char c = static_cast<unsigned char>(text[0]);
    std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    skip = need;
    for (std::size_t k = 1; k < need; ++k) {
        if (k >= text.size() || (static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) {
            skip = k;
            return 0;
        }
    }
    if (c >= 0x80 && c < 0xC0) return 0;
    if (c > 0xF4) return 0;
    return need;
}
}  // namespace

std::string utf8ToCp949(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        std::size_t skip = 1;
        const std::size_t length = utf8SequenceLength(utf8.substr(i), skip);
        bool converted = false;
        if (length > 0) {
            wchar_t wide[2];
            const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data() + i,
                                                  static_cast<int>(length), wide, 2);
            char bytes[8];
            BOOL defaulted = FALSE;
            const int got = units > 0 ? WideCharToMultiByte(kCp949, WC_NO_BEST_FIT_CHARS, wide, units, bytes,
                                                            sizeof bytes, "?", &defaulted)
                                      : 0;
            if (got > 0 && !defaulted) {
                out.append(bytes, static_cast<std::size_t>(got));
                converted = true;
            }
        }
        if (!converted) out.push_back('?');
        i += std::max<std::size_t>(skip, 1);
    }
    return out;
}

std::string cp949ToUtf8(std::string_view cp949) {
    std::string out;
    out.reserve(cp949.size() * 3 / 2);
    std::size_t i = 0;
    while (i < cp949.size()) {
        const unsigned char c = static_cast<unsigned char>(cp949[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        // A lead byte takes its trail byte with it, whether the pair is valid or not.
        const std::size_t length = c >= 0x81 && i + 1 < cp949.size() ? 2 : 1;
        wchar_t wide[2];
        const int units = length == 2 ? MultiByteToWideChar(kCp949, MB_ERR_INVALID_CHARS, cp949.data() + i, 2, wide, 2) : 0;
        if (units > 0) out += utf8FromWide(wide, units);
        else out.push_back('?');
        i += length;
    }
    return out;
}

bool isNoRoom(int errorNumber) { return errorNumber == ENOSPC || errorNumber == EFBIG; }

namespace {
FileError writeError(DWORD err) {
    return err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL ? FileError::NoRoom : FileError::Failed;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

FileError copyToNewFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    HANDLE in = CreateFileW(source.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return FileError::SourceUnreadable;
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        CloseHandle(in);
        return writeError(err);
    }
    FileError result = FileError::None;
    static char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer, sizeof buffer, &got, nullptr)) {
            result = FileError::SourceUnreadable;
            break;
        }
        if (got == 0) break;
        DWORD put = 0;
        if (!WriteFile(out, buffer, got, &put, nullptr) || put != got) {
            result = writeError(GetLastError());
            if (result == FileError::None) result = FileError::Failed;
            break;
        }
    }
    CloseHandle(in);
    if (result == FileError::None && !FlushFileBuffers(out)) result = writeError(GetLastError());
    if (!CloseHandle(out) && result == FileError::None) result = FileError::Failed;
    if (result != FileError::None) DeleteFileW(target.c_str());
    return result;
}

FileError publishWithoutReplacing(const std::filesystem::path& file, const std::filesystem::path& target) {
    // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing target.
    if (MoveFileExW(file.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return FileError::None;
    const DWORD err = GetLastError();
    if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS) return FileError::None;
    return writeError(err);
}

FileError makeNewFolder(const std::filesystem::path& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return FileError::None;
    return writeError(GetLastError());
}

bool syncFile(const std::filesystem::path& file) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = FlushFileBuffers(h) != 0;
    CloseHandle(h);
    return ok;
}

// NTFS journals its folders itself; the write-through move below is the durable step.
bool syncFolder(const std::filesystem::path&) { return true; }

bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::uint64_t fileIdentity(const std::filesystem::path& file) {
    HANDLE h = CreateFileW(file.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return ok ? (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow : 0;
}

FileLock::~FileLock() { unlock(); }

FileLock::Result FileLock::lock(const std::filesystem::path& file) {
    unlock();
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Result::Unavailable;
    OVERLAPPED at{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD err = GetLastError();
        CloseHandle(h);
        return err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING ? Result::HeldElsewhere : Result::Unavailable;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return Result::Locked;
}

void FileLock::unlock() {
    if (handle_ != kNone) {
        HANDLE h = handleOf(handle_);
        OVERLAPPED at{};
        UnlockFileEx(h, 0, 1, 0, &at);
        CloseHandle(h);
        handle_ = kNone;
    }
}

}  // namespace verdanel::platform
