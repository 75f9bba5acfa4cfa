#include "widgets/ListMouse.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QMouseEvent>

namespace {
class ListMouse : public QObject {
public:
    ListMouse(QAbstractItemView *view, std::function<void()> activate)
        : QObject(view)
        , m_view(view)
        , m_activate(std::move(activate)) {
        view->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (!m_view->indexAt(mouse->position().toPoint()).isValid()) {
                m_view->setFocus(Qt::MouseFocusReason);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick &&
                   static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_activate();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractItemView *m_view;
    std::function<void()> m_activate;
};
} // namespace

void keepSelectionAndActivateOnDoubleClick(QAbstractItemView *view,
                                           std::function<void()> activate) {
    new ListMouse(view, std::move(activate));
}
