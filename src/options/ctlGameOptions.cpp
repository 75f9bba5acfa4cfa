#include "options/ctlGameOptions.h"

#include "common/Prompter.h"
#include "common/TextRules.h"
#include "gameopts/clsOptionsXML.h"
#include "options/clsOptions.h"
#include "root/AppRoot.h"
#include "widgets/ClickableCaption.h"
#include "widgets/CommonDialog.h"
#include "widgets/NamedWidgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame *swatch(const QString &name, QWidget *parent) {
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::Box);
    frame->setFixedSize(64, 22);
    frame->setAutoFillBackground(true);
    return frame;
}

void fillSwatch(QFrame *swatch, qint32 color) {
    const Rgb rgb = splitColor(color);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(rgb.red, rgb.green, rgb.blue));
    swatch->setPalette(palette);
}

qint32 swatchColor(const QFrame *swatch) {
    const QColor color = swatch->palette().color(QPalette::Window);
    return packColor(color.red(), color.green(), color.blue());
}

} // namespace

ctlGameOptions::ctlGameOptions(AppRoot &root, CommonDialog *commonDialog, QWidget *parent)
    : QWidget(parent)
    , m_root(root)
    , m_dlgCommon(commonDialog) {
    setObjectName(QStringLiteral("ctlGameOptions"));
    buildControls();
    m_focusWatch =
        connect(qApp, &QApplication::focusChanged, this, &ctlGameOptions::onFocusChanged);
}

ctlGameOptions::~ctlGameOptions() {
    // The children give the focus up as they go, after this object is no longer a pane.
    disconnect(m_focusWatch);
}

void ctlGameOptions::buildControls() {
    auto *layout = new QVBoxLayout(this);

    auto *frmName = new QGroupBox(tr("Player Name"), this);
    frmName->setObjectName(QStringLiteral("frmName"));
    auto *nameLayout = new QGridLayout(frmName);
    QLabel *lblPlayerName = namedLabel(frmName, u"lblPlayerName", tr("Player Name:"));
    nameLayout->addWidget(lblPlayerName, 0, 0);
    m_cboPlayerName = named(new QComboBox(frmName), u"cboPlayerName");
    m_cboPlayerName->setEditable(true);
    nameAfter(lblPlayerName, m_cboPlayerName);
    m_cboPlayerName->lineEdit()->setAccessibleName(m_cboPlayerName->accessibleName());
    // The list is ours to keep: Enter must not add entries, and no completion may turn a typed
    // SNIPER into a stored Sniper.
    m_cboPlayerName->setInsertPolicy(QComboBox::NoInsert);
    m_cboPlayerName->setCompleter(nullptr);
    m_cboPlayerName->setMinimumContentsLength(maxPlayerNameLength);
    nameLayout->addWidget(m_cboPlayerName, 0, 1);
    m_cmdRemovePlayerName =
        namedButton(frmName, u"cmdRemovePlayerName", tr("Remove name from list"));
    nameLayout->addWidget(m_cmdRemovePlayerName, 0, 2);
    auto *note = namedLabel(frmName, u"Label1",
                            tr("Please note, when using custom ASC characters in your name that "
                               "the Yen and Pound symbols can cause Ghost Recon servers to lag or "
                               "crash"));
    note->setWordWrap(true);
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    note->setFont(small);
    nameLayout->addWidget(note, 1, 0, 1, 3);
    nameLayout->setColumnStretch(3, 1);
    layout->addWidget(frmName);

    auto *frmReticle = new QGroupBox(tr("Reticle Colors"), this);
    frmReticle->setObjectName(QStringLiteral("frmReticle"));
    auto *reticleLayout = new QGridLayout(frmReticle);
    const auto addSwatch = [&](int row, const QString &labelName, const QString &caption,
                               const QString &shapeName, const QString &clickName, QFrame *&shape,
                               bool iff) {
        reticleLayout->addWidget(namedLabel(frmReticle, labelName, caption), row, 0);
        shape = swatch(shapeName, frmReticle);
        // The caption-less label covers the swatch and takes its clicks.
        auto *cover = new QHBoxLayout(shape);
        cover->setContentsMargins(0, 0, 0, 0);
        QLabel *click = namedLabel(shape, clickName);
        click->setCursor(Qt::PointingHandCursor);
        onCaptionClick(click, [this, frame = shape, iff] { chooseColor(frame, iff); });
        cover->addWidget(click);
        reticleLayout->addWidget(shape, row, 1);
    };
    addSwatch(0, QStringLiteral("lblRetColor"), tr("Reticle Color:"), QStringLiteral("shpRetColor"),
              QStringLiteral("lblSetRetColor"), m_shpRetColor, false);
    addSwatch(1, QStringLiteral("lblIFFRetColor"), tr("IFF Reticle Color:"),
              QStringLiteral("shpIFFRetColor"), QStringLiteral("lblSetIFFRetColor"),
              m_shpIFFRetColor, true);
    m_cmdLoadDefaultRet =
        namedButton(frmReticle, u"cmdLoadDefaultRet", tr("Set to Default Ret Colors"));
    reticleLayout->addWidget(m_cmdLoadDefaultRet, 2, 0, 1, 2, Qt::AlignLeft);
    reticleLayout->setColumnStretch(2, 1);
    fillSwatch(m_shpRetColor, defaultRetColor);
    fillSwatch(m_shpIFFRetColor, defaultIFFRetColor);
    layout->addWidget(frmReticle);

    auto *frmMisc = new QGroupBox(tr("Misc.."), this);
    frmMisc->setObjectName(QStringLiteral("frmMisc"));
    auto *miscLayout = new QGridLayout(frmMisc);
    const auto write = [this](QCheckBox *box) { writeSwitch(box); };
    m_chkShowDeadBodies =
        addCaptionedSwitch(miscLayout, 0, QStringLiteral("chkShowDeadBodies"),
                           QStringLiteral("lblShowDeadBodies"), tr("Show dead bodies"), write)
            .box;
    m_chkShowFrameRate =
        addCaptionedSwitch(miscLayout, 1, QStringLiteral("chkShowFrameRate"),
                           QStringLiteral("lblShowFrameRate"), tr("Show frame rate"), write)
            .box;
    miscLayout->setColumnStretch(2, 1);
    layout->addWidget(frmMisc);
    layout->addStretch(1);

    m_cboPlayerName->installEventFilter(this);
    m_cboPlayerName->lineEdit()->installEventFilter(this);
    connect(m_cboPlayerName, &QComboBox::editTextChanged, this, &ctlGameOptions::cutPlayerName);
    connect(m_cboPlayerName->lineEdit(), &QLineEdit::textEdited, this, [this] { m_typed = true; });
    connect(m_cboPlayerName, &QComboBox::activated, this, [this] { commitPlayerName(false); });
    connect(m_cmdRemovePlayerName, &QPushButton::clicked, this, &ctlGameOptions::removePlayerName);
    connect(m_cmdLoadDefaultRet, &QPushButton::clicked, this, &ctlGameOptions::loadDefaultColors);
}

void ctlGameOptions::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // Whenever the tab comes to the front it shows what the game's file holds now.
    RefreshData();
}

bool ctlGameOptions::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_cboPlayerName || watched == m_cboPlayerName->lineEdit()) {
        if (event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                commitPlayerName(true);
        } else if (event->type() == QEvent::FocusOut && watched == m_cboPlayerName &&
                   static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            commitPlayerName(true);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ctlGameOptions::onFocusChanged(QWidget *old, QWidget *now) {
    // The focus entering the pane from elsewhere commits the name too.
    if (now && isAncestorOf(now) && !(old && isAncestorOf(old)))
        commitPlayerName(true);
}

void ctlGameOptions::cutPlayerName(const QString &text) {
    if (text.size() <= maxPlayerNameLength)
        return;
    qsizetype length = maxPlayerNameLength;
    if (text.at(length - 1).isHighSurrogate())
        --length; // never leave half a character
    m_cboPlayerName->setEditText(text.left(length));
}

void ctlGameOptions::commitPlayerName(bool rebuildList) {
    if (m_committing)
        return;
    m_committing = true;
    m_typed = false;
    const QString name = m_cboPlayerName->currentText();
    if (!name.isEmpty() && m_root.Options())
        m_root.Options()->AddPlayerName(name);
    writeGameFile([&](clsOptionsXML &xml) { xml.setPlayerName(name); });
    if (rebuildList)
        RefreshPlayerList();
    m_committing = false;
}

void ctlGameOptions::commitTypedName() {
    if (!m_typed)
        return;
    m_typed = false;
    // On the way out nobody may be there to answer a box (a signal, the session's logout): the
    // name goes into the saved list, and into the game's file if that can be written.
    const QString name = m_cboPlayerName->currentText();
    if (!name.isEmpty() && m_root.Options())
        m_root.Options()->AddPlayerName(name);
    if (clsOptionsXML *xml = m_root.OptionsXML()) {
        try {
            xml->Load();
            xml->setPlayerName(name);
            xml->Save();
        } catch (const std::exception &) {
        }
    }
}

void ctlGameOptions::removePlayerName() {
    if (m_root.Options())
        m_root.Options()->RemovePlayerName(m_cboPlayerName->currentText());
    m_cboPlayerName->setEditText(QString());
    commitPlayerName(true);
}

void ctlGameOptions::RefreshPlayerList() {
    const QString text = m_cboPlayerName->currentText();
    m_cboPlayerName->clear();
    if (m_root.Options()) {
        for (const QString &name : m_root.Options()->PlayerNames())
            m_cboPlayerName->addItem(name);
    }
    m_cboPlayerName->setEditText(text);
}

namespace {
// A value that cannot be read leaves its control as it was.
void attempt(const std::function<void()> &step) {
    try {
        step();
    } catch (const std::exception &) {
    }
}
} // namespace

void ctlGameOptions::RefreshData() {
    clsOptionsXML *xml = m_root.OptionsXML();
    if (xml) {
        xml->Load();
        if (xml->IsLoaded()) {
            attempt([&] { m_cboPlayerName->setEditText(xml->PlayerName()); });
            m_typed = false;
            showLoadedValues(*xml);
        }
    }
    RefreshPlayerList();
}

void ctlGameOptions::showLoadedValues(clsOptionsXML &xml) {
    attempt([&] { fillSwatch(m_shpRetColor, xml.RetColor()); });
    attempt([&] { fillSwatch(m_shpIFFRetColor, xml.IFFRetColor()); });
    attempt([&] { m_chkShowDeadBodies->setChecked(xml.ShowDeadBodies()); });
    attempt([&] { m_chkShowFrameRate->setChecked(xml.ShowFrameRate()); });
}

void ctlGameOptions::showFileValues() {
    clsOptionsXML *xml = m_root.OptionsXML();
    if (!xml)
        return;
    attempt([&] { xml->Load(); });
    if (xml->IsLoaded())
        showLoadedValues(*xml);
}

void ctlGameOptions::chooseColor(QFrame *swatch, bool iff) {
    if (m_dlgCommon) {
        const Rgb rgb = splitColor(swatchColor(swatch));
        if (const auto chosen =
                m_dlgCommon->chooseColor(QColor(rgb.red, rgb.green, rgb.blue), window()))
            fillSwatch(swatch, packColor(chosen->red(), chosen->green(), chosen->blue()));
    }
    // A cancelled choice writes the colour the swatch already shows.
    const qint32 color = swatchColor(swatch);
    const bool written = writeGameFile([&](clsOptionsXML &xml) {
        if (iff)
            xml.setIFFRetColor(color);
        else
            xml.setRetColor(color);
    });
    if (!written)
        showFileValues();
}

void ctlGameOptions::loadDefaultColors() {
    fillSwatch(m_shpRetColor, defaultRetColor);
    fillSwatch(m_shpIFFRetColor, defaultIFFRetColor);
    const bool written = writeGameFile([this](clsOptionsXML &xml) {
        xml.setRetColor(swatchColor(m_shpRetColor));
        xml.setIFFRetColor(swatchColor(m_shpIFFRetColor));
    });
    if (!written)
        showFileValues();
}

void ctlGameOptions::writeSwitch(QCheckBox *box) {
    const bool on = box->checkState() != Qt::Unchecked;
    const bool written = writeGameFile([&](clsOptionsXML &xml) {
        if (box == m_chkShowDeadBodies)
            xml.setShowDeadBodies(on);
        else
            xml.setShowFrameRate(on);
    });
    if (!written)
        showFileValues();
}

bool ctlGameOptions::writeGameFile(const std::function<void(clsOptionsXML &)> &change) {
    clsOptionsXML *xml = m_root.OptionsXML();
    if (!xml)
        return true;
    return runWithRetry(m_root.prompter(), titles::error, [&] {
        xml->Load();
        change(*xml);
        xml->Save();
    });
}
