// Profiles on Windows: paths in the ANSI code page, as the command line hands
// them over. The save goes to a new file beside the target that then replaces it.
#include <windows.h>

#include <cstdio>
#include <system_error>

#include "ProfileFileSystem.h"
#include "SystemRandom.h"
#include "TimeLimits.h"

namespace vyx::profile_file {

namespace {

FileOutcome SystemError(DWORD code) {
    return {FileRefusal::System, std::system_category().message(static_cast<int>(code))};
}

}  // namespace

FileOutcome ReadRegularFile(const std::string& path, std::size_t limit, std::string& text) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return SystemError(::GetLastError());
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {FileRefusal::Folder, {}};
    }
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return SystemError(::GetLastError());
    }
    FileOutcome outcome;
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        outcome = {FileRefusal::NotRegular, {}};
    } else {
        text.assign(limit + 1, '\0');
        DWORD got = 0;
        if (!::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) {
            outcome = SystemError(::GetLastError());
        }
        text.resize(got);
    }
    ::CloseHandle(file);
    return outcome;
}

FileOutcome ReplaceRegularFile(const std::string& path, std::string_view text) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return {FileRefusal::Folder, {}};
        }
        if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
            return {FileRefusal::NotRegular, {}};
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return {FileRefusal::ReadOnly, {}};
        }
    }
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < TemporaryNameAttempts && file == INVALID_HANDLE_VALUE;
         ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp",
                      static_cast<unsigned>(SystemRandomNumber()));
        temporary = path + suffix;
        // CREATE_NEW: a file already standing at the name is never opened.
        file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            return SystemError(::GetLastError());
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return SystemError(ERROR_FILE_EXISTS);
    }
    DWORD failure = 0;
    DWORD written = 0;
    if (!::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !::FlushFileBuffers(file)) {
        failure = ::GetLastError();
    }
    ::CloseHandle(file);
    if (failure == 0 && !::MoveFileExA(temporary.c_str(), path.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = ::GetLastError();
    }
    if (failure != 0) {
        ::DeleteFileA(temporary.c_str());
        return SystemError(failure);
    }
    return {};
}

}  // namespace vyx::profile_file
