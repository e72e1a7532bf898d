#pragma once
// A label that reacts to a click (the main window's title label opens the
// administrator screen).

#include <QLabel>
#include <QMouseEvent>
#include <functional>

class ClickableLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }
    void click()
    {
        if (onClick_)
            onClick_();
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            click();
    }

private:
    std::function<void()> onClick_;
};
