#include "widgets/ClickableCaption.h"

#include "widgets/NamedWidgets.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

namespace {
class CaptionClick : public QObject {
public:
    CaptionClick(QLabel *label, std::function<void()> action)
        : QObject(label)
        , m_action(std::move(action)) {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_action();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};
} // namespace

void onCaptionClick(QLabel *label, std::function<void()> action) {
    new CaptionClick(label, std::move(action));
}

CaptionedSwitch addCaptionedSwitch(QGridLayout *grid, int row, const QString &boxName,
                                   const QString &captionName, const QString &caption,
                                   std::function<void(QCheckBox *)> changed) {
    QWidget *parent = grid->parentWidget();
    auto *box = named(new QCheckBox(parent), boxName);
    QLabel *label = namedLabel(parent, captionName, caption);
    nameAfter(label, box);
    grid->addWidget(box, row, 0);
    grid->addWidget(label, row, 1);
    QObject::connect(box, &QCheckBox::clicked, box, [box, changed] { changed(box); });
    onCaptionClick(label, [box, changed] {
        box->setCheckState(box->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        changed(box);
    });
    return {box, label};
}
