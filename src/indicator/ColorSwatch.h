#pragma once

#include <QAbstractButton>

#include "indicator/IndicatorTypes.h"

// A small square of one colour that asks for another: a button, so a click
// (on release), Space and assistive technology all press it.
class TColorSwatch : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int color READ Color WRITE SetColor)
public:
    explicit TColorSwatch(QWidget* parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor c);

    QSize sizeHint() const override { return QSize(17, 17); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TColor m_color = -1;
};
