// The record's folder on Windows: %LOCALAPPDATA%\VyxTool, the user's own data that
// stays on this machine. SQLite takes the path in UTF-8.
#include <windows.h>

#include <system_error>

#include "StorePath.h"

namespace vyx::record {

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, nullptr);
    return text;
}

}  // namespace

std::optional<std::string> DefaultStorePath(std::string& path) {
    std::wstring folder(MAX_PATH, L'\0');
    DWORD size = ::GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(),
                                           static_cast<DWORD>(folder.size()));
    if (size > folder.size()) {
        folder.resize(size);
        size = ::GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), size);
    }
    if (size == 0 || size > folder.size()) {
        return "sem pasta de dados para o registro de serviço (LOCALAPPDATA não definido)";
    }
    folder.resize(size);
    folder += L"\\VyxTool";
    // A folder made here inherits the user's own rights on LOCALAPPDATA.
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        const DWORD code = ::GetLastError();
        return "não foi possível criar a pasta " + Utf8(folder) +
               " do registro de serviço: " + std::system_category().message(static_cast<int>(code));
    }
    path = Utf8(folder) + "\\record.sqlite3";
    return std::nullopt;
}

}  // namespace vyx::record
