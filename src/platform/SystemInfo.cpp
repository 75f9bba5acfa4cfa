#include "platform/SystemInfo.h"

#include "platform/ProcessLauncher.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <exception>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

namespace {
#ifdef Q_OS_WIN
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
#endif
} // namespace

const QStringList &SystemInfo::toolNames() {
    static const QStringList names = {
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),
        QStringLiteral("gnome-system-monitor"),
    };
    return names;
}

SystemInfo::SystemInfo(QStringList searchPaths)
    : m_searchPaths(std::move(searchPaths)) {}

QString SystemInfo::findTool() const {
#ifdef Q_OS_WIN
    Q_UNUSED(m_searchPaths);
    QString path;
    if (readMachineString(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", path))
        return path;
    if (readMachineString(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", path)) {
        path += QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
#else
    for (const QString &name : toolNames()) {
        const QString path = QStandardPaths::findExecutable(name, m_searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
#endif
}

bool SystemInfo::start(ProcessLauncher &launcher) const {
    const QString tool = findTool();
    if (tool.isEmpty())
        return false;
    try {
        LaunchRequest request;
        request.program = tool;
        request.showMode = ShowMode::NormalFocused;
        launcher.start(request);
    } catch (const std::exception &) {
        return false;
    }
    return true;
}

} // namespace platform
