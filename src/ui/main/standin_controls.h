#pragma once
// STAND-IN: a plain Qt widget in place of the drawn progress bar until that control is merged.
// Same roles and names as the real one (Value, Max).

#include <QPainter>
#include <QWidget>

namespace velquin::ui {

class StandInProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit StandInProgressBar(QWidget* parent = nullptr) : QWidget(parent) {}
    int Value() const { return value_; }
    void SetValue(int value) { value_ = value, update(); }
    int Max() const { return max_; }
    void SetMax(int max) { max_ = max; }
    void SetColor(QColor color) { color_ = color; }
    void SetVertical(bool vertical) { vertical_ = vertical; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const double share = max_ > 0 ? std::min(1.0, double(value_) / max_) : 0;
        if (vertical_) {
            const int h = int(height() * share);
            p.fillRect(0, height() - h, width(), h, color_);
        } else {
            p.fillRect(0, 0, int(width() * share), height(), color_);
        }
        p.setPen(Qt::gray);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    int value_ = 0;
    int max_ = 100;
    bool vertical_ = false;
    QColor color_ = Qt::green;
};

}  // namespace velquin::ui
