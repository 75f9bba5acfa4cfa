#include "platform/SystemInfo.h"

#include <QFileInfo>

#include <windows.h>

namespace platform {

namespace {
// A string value under the local machine's root, or nothing. The key is opened for reading
// only, so that ordinary users can read it too.
bool readMachineString(const wchar_t *keyPath, const wchar_t *valueName, QString &value) {
    value.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[1024];
    DWORD type = 0;
    DWORD size = sizeof(buffer);
    const LONG result =
        RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    qsizetype length = qsizetype(size / sizeof(wchar_t));
    if (length > 0 && buffer[length - 1] == L'\0')
        --length;
    value = QString::fromWCharArray(buffer, length);
    return true;
}
} // namespace

// The registry says where the system's own tool lies; the search paths are not needed.
QString SystemInfo::findTool() const {
    QString path;
    if (readMachineString(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", path))
        return path;
    if (readMachineString(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", path)) {
        path += QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

} // namespace platform
