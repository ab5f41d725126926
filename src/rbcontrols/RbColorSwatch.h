#pragma once

#include "rbcontrols/RbColors.h"

#include <QWidget>

// A small filled square that stands for one colour of a scheme; its hint is
// the colour's name. A press is reported with its modifiers; drags between
// swatches carry the source swatch's object name.
class TRbColorSwatch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor NOTIFY colorChanged)
public:
    explicit TRbColorSwatch(QWidget* parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor c);

    // The MIME type of a dragged swatch; the data is its object name.
    static QString MimeType();

signals:
    void colorChanged();
    void pressed(Qt::KeyboardModifiers modifiers);
    // Asked on every movement of a drag over the swatch; set accept to take it.
    void dragOver(const QString& sourceName, bool* accept);
    void dropped(const QString& sourceName);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    TColor m_color = clBlack;
};

// The platform's name of a standard colour (clWhite, clBtnFace, ...), else a
// dollar sign and eight hexadecimal digits of the value.
QString ColorHintName(TColor c);
