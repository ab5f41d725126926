#include "rbcontrols/RbColorSwatch.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace {

// Standard colours first, then the system colours by their index.
const std::pair<quint32, const char*> kColorNames[] = {
    {0x000000, "clBlack"},      {0x000080, "clMaroon"},    {0x008000, "clGreen"},     {0x008080, "clOlive"},
    {0x800000, "clNavy"},       {0x800080, "clPurple"},    {0x808000, "clTeal"},      {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},     {0x0000FF, "clRed"},       {0x00FF00, "clLime"},      {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},       {0xFF00FF, "clFuchsia"},   {0xFFFF00, "clAqua"},      {0xFFFFFF, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"}, {0xF0CAA6, "clSkyBlue"},   {0xF0FBFF, "clCream"},     {0xA4A0A0, "clMedGray"},
    {0x1FFFFFFF, "clNone"},     {0x20000000, "clDefault"},
    {0xFF000000, "clScrollBar"}, {0xFF000001, "clBackground"}, {0xFF000002, "clActiveCaption"},
    {0xFF000003, "clInactiveCaption"}, {0xFF000004, "clMenu"}, {0xFF000005, "clWindow"},
    {0xFF000006, "clWindowFrame"}, {0xFF000007, "clMenuText"}, {0xFF000008, "clWindowText"},
    {0xFF000009, "clCaptionText"}, {0xFF00000A, "clActiveBorder"}, {0xFF00000B, "clInactiveBorder"},
    {0xFF00000C, "clAppWorkSpace"}, {0xFF00000D, "clHighlight"}, {0xFF00000E, "clHighlightText"},
    {0xFF00000F, "clBtnFace"}, {0xFF000010, "clBtnShadow"}, {0xFF000011, "clGrayText"},
    {0xFF000012, "clBtnText"}, {0xFF000013, "clInactiveCaptionText"}, {0xFF000014, "clBtnHighlight"},
    {0xFF000015, "cl3DDkShadow"}, {0xFF000016, "cl3DLight"}, {0xFF000017, "clInfoText"},
    {0xFF000018, "clInfoBk"}, {0xFF00001A, "clHotLight"}, {0xFF00001B, "clGradientActiveCaption"},
    {0xFF00001C, "clGradientInactiveCaption"}, {0xFF00001D, "clMenuHighlight"}, {0xFF00001E, "clMenuBar"},
};

} // namespace

QString ColorHintName(TColor c)
{
    const quint32 v = quint32(c);
    for (const auto& [value, name] : kColorNames)
        if (value == v)
            return QString::fromLatin1(name);
    return QStringLiteral("$%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

TRbColorSwatch::TRbColorSwatch(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus); // Space or Enter opens the colour dialog as a click does
    resize(17, 17);
    setCursor(Qt::PointingHandCursor);
}

QString TRbColorSwatch::MimeType()
{
    return QStringLiteral("application/x-zelkor-swatch");
}

void TRbColorSwatch::SetColor(TColor c)
{
    if (c == m_color)
        return;
    m_color = c;
    update();
    emit colorChanged();
}

void TRbColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(m_color));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void TRbColorSwatch::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit pressed(Qt::NoModifier);
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TRbColorSwatch::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit pressed(e->modifiers());
    e->accept();
}

void TRbColorSwatch::dragEnterEvent(QDragEnterEvent* e)
{
    dragMoveEvent(e);
}

void TRbColorSwatch::dragMoveEvent(QDragMoveEvent* e)
{
    bool accept = false;
    if (e->mimeData()->hasFormat(MimeType()))
        emit dragOver(QString::fromUtf8(e->mimeData()->data(MimeType())), &accept);
    if (accept)
        e->acceptProposedAction();
    else
        e->ignore();
}

void TRbColorSwatch::dropEvent(QDropEvent* e)
{
    if (!e->mimeData()->hasFormat(MimeType())) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    emit dropped(QString::fromUtf8(e->mimeData()->data(MimeType())));
}
