#pragma once

#include <QWidget>

#include "IndicatorTypes.h"

// A small square of one colour that asks for another: a click (mouse
// release inside it) or Space / Enter while focused emits clicked().
class TColorSwatch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int color READ Color WRITE SetColor)
public:
    explicit TColorSwatch(QWidget* parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor c);

    QSize sizeHint() const override { return QSize(17, 17); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TColor m_color = 0;
};
