#pragma once

#include "platform/SystemInfo.h"

#include <QDialog>

class clsGRQuorvel;

// The program's title and version, and a way to the system's information tool.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(clsGRQuorvel &root, QWidget *parent = nullptr);
    ~frmAbout() override;

    // Where the system-information tool is looked for (tests point it elsewhere).
    void setSystemInfo(platform::SystemInfo info) { m_systemInfo = std::move(info); }

    void StartSysInfo();

private:
    clsGRQuorvel &m_root;
    platform::SystemInfo m_systemInfo;
};
