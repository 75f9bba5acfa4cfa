#include "app/frmTips.h"

#include "app/clsGRQuorvel.h"
#include "options/clsOptions.h"
#include "widgets/ClickableCaption.h"
#include "widgets/NamedWidgets.h"

#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

frmTips::frmTips(clsGRQuorvel &root, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowTitleHint)
    , m_root(root) {
    setObjectName(QStringLiteral("frmTips"));
    setWindowTitle(tr("Tip of day..."));

    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto *heading = namedLabel(this, u"lblDidYaKnow", tr("Did Ya Know?"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    heading->setFont(headingFont);
    m_lblTip = namedLabel(this, u"lblTip");
    m_lblTip->setWordWrap(true);
    m_lblTip->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_lblTip->setMinimumSize(320, 110);

    auto *text = new QVBoxLayout;
    text->addWidget(heading);
    text->addWidget(m_lblTip, 1);
    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(text, 1);

    m_chkShowTips = named(new QCheckBox(this), u"chkShowTips");
    m_lblShowTips = namedLabel(this, u"lblShowTips", tr("Show tips on start up"));
    onCaptionClick(m_lblShowTips, [this] { m_chkShowTips->toggle(); });
    nameAfter(m_lblShowTips, m_chkShowTips);
    auto *next = namedButton(this, u"cmdNextTip", tr("Next Tip"));
    auto *close = namedButton(this, u"cmdClose", tr("Close"));
    close->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_chkShowTips);
    bottom->addWidget(m_lblShowTips);
    bottom->addStretch(1);
    bottom->addWidget(next);
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    connect(next, &QPushButton::clicked, this, &frmTips::ShowNextTip);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_chkShowTips, &QCheckBox::toggled, this, [this](bool checked) {
        if (m_root.Options())
            m_root.Options()->setShowTips(checked);
    });
}

frmTips::~frmTips() = default;

void frmTips::ShowNextTip() {
    if (!m_root.Options())
        return;
    clsOptions &options = *m_root.Options();
    const int count = m_root.Tips().Count();
    qint32 i = options.LastTip();
    if (i < 0 || i > count - 1)
        i = 0;
    m_chkShowTips->setChecked(options.ShowTips());
    if (const QString *tip = m_root.Tips().Item(QStringLiteral("Tip") + QString::number(i)))
        m_lblTip->setText(*tip);
    options.setLastTip(i + 1);
}
