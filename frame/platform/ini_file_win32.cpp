// INI access on Windows: the profile routines the host itself uses on
// plugin.ini.
#include <windows.h>

#include <vector>

#include "frame/platform/ini_file.h"

namespace cvx {

namespace {

constexpr DWORD kFirstBufferSize = MAX_PATH;  // fits every usual value at once

}  // namespace

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
    // The routine cuts a value that does not fit and reports size - 1
    // bytes; read again with more room until the value fits whole.
    std::vector<char> buffer(kFirstBufferSize);
    for (;;) {
        const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                      buffer.data(), static_cast<DWORD>(buffer.size()),
                                                      path.c_str());
        if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

}  // namespace cvx
