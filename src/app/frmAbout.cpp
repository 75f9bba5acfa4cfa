#include "app/frmAbout.h"

#include "app/ProgramIcon.h"
#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "widgets/NamedWidgets.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QFrame *separatorLine(QWidget *parent) {
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
} // namespace

frmAbout::frmAbout(clsGRQuorvel &root, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowTitleHint)
    , m_root(root) {
    setObjectName(QStringLiteral("frmAbout"));
    // No caption: an empty title would show the program's name instead, a blank shows nothing.
    setWindowTitle(QStringLiteral(" "));

    auto *icon = namedLabel(this, u"picIcon");
    icon->setPixmap(programIcon().pixmap(48, 48));
    auto *title = namedLabel(this, u"lblTitle", u"Ghost Recon Quorvel");
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    title->setFont(titleFont);
    auto *version = namedLabel(this, u"lblVersion", clsGRQuorvel::VersionString());

    auto *texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *ok = namedButton(this, u"cmdOK", tr("OK"));
    ok->setDefault(true);
    auto *sysInfo = namedButton(this, u"cmdSysInfo", tr("&System Info..."));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(separatorLine(this));
    layout->addSpacing(12);
    layout->addWidget(separatorLine(this));
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

frmAbout::~frmAbout() = default;

void frmAbout::StartSysInfo() {
    if (m_systemInfo.start(m_root.launcher()))
        return;
    tell(m_root.prompter(), tr("System Information Is Unavailable At This Time"));
}
