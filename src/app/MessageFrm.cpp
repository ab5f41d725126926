#include "app/MessageFrm.h"

#include "rbcontrols/RbButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>

#include <limits>

namespace {

constexpr int kClientWidth = 359;
constexpr int kClientHeight = 122;
constexpr int kTextHeight = 73;
constexpr int kPromptHeight = 45;
constexpr int kButtonTop = 88;
constexpr int kValueTop = 58;
constexpr int kMaxExtraHeight = 400;
const QString kValueName = QStringLiteral("Значение");
constexpr int kOkLeft = 152;
constexpr int kYesLeft = 104;
constexpr int kNoLeft = 184;

// A message is read out as an alert: its title as the name, its text as the description.
class TMessageAccessible : public QAccessibleWidget {
public:
    explicit TMessageAccessible(TfrmMessage* dialog)
        : QAccessibleWidget(dialog, QAccessible::AlertMessage)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description)
            return static_cast<const TfrmMessage*>(widget())->lbMess->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* MessageAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TfrmMessage") && object && object->isWidgetType())
        return new TMessageAccessible(static_cast<TfrmMessage*>(object));
    return nullptr;
}

QPixmap blankIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    return pm;
}

void drawDisc(QPainter& p, const QColor& fill, const QColor& rim)
{
    p.setPen(QPen(rim, 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 2, 28, 28));
}

QPixmap informationIcon()
{
    QPixmap pm = blankIcon();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawDisc(p, QColor(38, 102, 204), QColor(20, 60, 140));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.5), 2.4, 2.4);
    p.drawRoundedRect(QRectF(14, 13.5, 4, 12), 1.2, 1.2);
    return pm;
}

QPixmap questionIcon()
{
    QPixmap pm = blankIcon();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawDisc(p, QColor(38, 102, 204), QColor(20, 60, 140));
    QPainterPath hook;
    hook.arcMoveTo(QRectF(11, 6.5, 10, 10), 160);
    hook.arcTo(QRectF(11, 6.5, 10, 10), 160, -230);
    hook.lineTo(16, 19.5);
    p.setPen(QPen(Qt::white, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 24.5), 2.2, 2.2);
    return pm;
}

QPixmap warningIcon()
{
    QPixmap pm = blankIcon();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tri;
    tri.moveTo(16, 2.5);
    tri.lineTo(30, 28.5);
    tri.lineTo(2, 28.5);
    tri.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 0), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 208, 40));
    p.drawPath(tri);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(14.5, 10, 3, 11), 1.2, 1.2);
    p.drawEllipse(QPointF(16, 24.5), 1.8, 1.8);
    return pm;
}

QPixmap errorIcon()
{
    QPixmap pm = blankIcon();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawDisc(p, QColor(214, 30, 30), QColor(140, 10, 10));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
    return pm;
}

} // namespace

TfrmMessage::TfrmMessage(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("Зелкор"));
    setWindowModality(Qt::ApplicationModal);
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(&MessageAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);

    ImageList1 = {informationIcon(), questionIcon(), warningIcon(), errorIcon()};

    lbMess = new QLabel(this);
    lbMess->setObjectName(QStringLiteral("lbMess"));
    lbMess->setAlignment(Qt::AlignCenter);
    lbMess->setWordWrap(true);
    lbMess->setTextFormat(Qt::PlainText);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setGeometry(16, 16, 32, 32);

    const auto makeButton = [this](const char* name, const QString& caption, int left, int result) {
        auto* b = new TMessageButton(this);
        b->SetCaption(caption);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, kButtonTop, 75, 25);
        connect(b, &TMessageButton::clicked, this, [this, result] { answer(result); });
        return b;
    };
    btnOk = makeButton("btnOk", QStringLiteral("Ok"), kOkLeft, mrOk);
    btnYes = makeButton("btnYes", QStringLiteral("Да"), kYesLeft, mrYes);
    btnNo = makeButton("btnNo", QStringLiteral("Нет"), kNoLeft, mrNo);

    rseVal = new QDoubleSpinBox(this);
    rseVal->setObjectName(QStringLiteral("rseVal"));
    rseVal->setDecimals(1);
    rseVal->setSingleStep(0.1);
    rseVal->setRange(-1e9, 1e9);
    rseVal->setAccessibleName(kValueName);

    resetLayout();
}

TfrmMessage::~TfrmMessage()
{
    // Callers still waiting get the cautious answer.
    for (Request* r : m_queue) {
        r->result = (r->valueEntry || (r->buttons & mbNo)) ? mrNo : mrOk;
        r->done = true;
        if (r->loop)
            r->loop->quit();
    }
}

int TfrmMessage::IconIndexOf(TMessageKind kind)
{
    switch (kind) {
    case mkWarning: return 2;
    case mkError: return 3;
    case mkInformation: return 0;
    case mkConfirmation: return 1;
    }
    return -1;
}

QString TfrmMessage::NormalizeLineBreaks(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    t.replace('\r', '\n');
    return t;
}

int TfrmMessage::MessageDlg(const QString& text, TMessageKind kind, int, int buttons)
{
    Request r;
    r.text = text;
    r.kind = kind;
    r.buttons = buttons;
    return run(r);
}

int TfrmMessage::EnterValue(const QString& prompt, double& value, int, double defaultValue)
{
    Request r;
    r.text = prompt;
    r.valueEntry = true;
    r.buttons = mbYes | mbNo;
    r.value = defaultValue;
    const int result = run(r);
    value = r.value;
    return result;
}

int TfrmMessage::QueuedCount() const
{
    return int(m_queue.size()) - (m_current ? 1 : 0);
}

int TfrmMessage::run(Request& r)
{
    const QPointer<TfrmMessage> self(this);
    m_queue.push_back(&r);
    QCoreApplication::processEvents();
    if (!self)
        return r.result;
    if (!m_current)
        presentNext();
    if (!r.done) {
        QEventLoop loop;
        r.loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        if (!self)
            return r.result;
        r.loop = nullptr;
    }
    if (!r.done) {
        // The loop was ended from outside (the program quits): answer cautiously.
        if (m_current == &r) {
            answer(cancelResult());
        } else {
            std::erase(m_queue, &r);
            r.result = (r.valueEntry || (r.buttons & mbNo)) ? mrNo : mrOk;
            r.done = true;
        }
    }
    QCoreApplication::processEvents();
    return r.result;
}

void TfrmMessage::presentNext()
{
    if (m_queue.empty())
        return;
    Request* r = m_queue.front();
    m_current = r;
    resetLayout();

    TMessageButton* focus = nullptr;
    if (r->valueEntry) {
        Image1->hide();
        lbMess->setGeometry(56, 8, 289, kPromptHeight);
        rseVal->setValue(r->value);
        rseVal->show();
        btnYes->SetCaption(QStringLiteral("Ok"));
        btnYes->show();
        btnNo->SetCaption(QStringLiteral("Отмена"));
        btnNo->show();
        focus = btnYes;
    } else {
        const int icon = IconIndexOf(r->kind);
        if (icon >= 0)
            Image1->setPixmap(ImageList1[icon]);
        // Ok sits between Yes and No and never shows with them; a call that
        // names no known button still gets Ok, or the window could not close.
        if (r->buttons & (mbYes | mbNo)) {
            btnYes->setVisible(r->buttons & mbYes);
            btnNo->setVisible(r->buttons & mbNo);
            focus = (r->buttons & mbYes) ? btnYes : btnNo;
        } else {
            btnOk->show();
            focus = btnOk;
        }
    }
    lbMess->setText(NormalizeLineBreaks(r->text));
    rseVal->setAccessibleName(r->valueEntry ? lbMess->text() : kValueName);
    fitText();

    if (!isVisible()) {
        placeOverOwner();
        emit schemeColorsWanted();
        show();
    }
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    activateWindow();
    if (r->valueEntry) {
        rseVal->setFocus();
        rseVal->selectAll();
    } else {
        focus->setFocus();
    }
    focus->SetDefault(true);
    emit presented(*this);
}

void TfrmMessage::answer(int result)
{
    Request* r = m_current;
    if (!r)
        return;
    if (r->valueEntry) {
        rseVal->interpretText();
        r->value = rseVal->value();
    }
    r->result = result;
    r->done = true;
    m_queue.pop_front();
    m_current = nullptr;
    resetLayout();
    if (!m_queue.empty())
        presentNext();
    else
        hide();
    if (r->loop)
        r->loop->quit();
}

int TfrmMessage::cancelResult() const
{
    if (!m_current)
        return mrOk;
    return btnNo->isVisible() ? mrNo : btnOk->isVisible() ? mrOk : mrYes;
}

void TfrmMessage::resetLayout()
{
    setFixedSize(kClientWidth, kClientHeight);
    Image1->clear();
    Image1->show();
    lbMess->clear();
    lbMess->setGeometry(56, 8, 289, kTextHeight);
    rseVal->hide();
    rseVal->move(133, kValueTop);
    rseVal->resize(97, 21);
    const int lefts[3] = {kOkLeft, kYesLeft, kNoLeft};
    TMessageButton* buttons[3] = {btnOk, btnYes, btnNo};
    for (int i = 0; i < 3; ++i) {
        buttons[i]->hide();
        buttons[i]->SetDefault(false);
        buttons[i]->move(lefts[i], kButtonTop);
    }
    btnYes->SetCaption(QStringLiteral("Да"));
    btnNo->SetCaption(QStringLiteral("Нет"));
}

// A text longer than the label makes the window taller rather than cut off;
// a word too long to wrap (a device path) makes it wider, within the screen.
void TfrmMessage::fitText()
{
    int maxWidth = 4 * kClientWidth;
    if (const QScreen* s = screen())
        maxWidth = qMax(kClientWidth, s->availableGeometry().width() - 40);
    // Wrapped at the label's width, a text with a part that cannot break is wider than the label.
    const QRect wrapped = lbMess->fontMetrics().boundingRect(QRect(0, 0, lbMess->width(), 100000),
                                                             Qt::AlignCenter | Qt::TextWordWrap, lbMess->text());
    const int wider = qBound(0, wrapped.width() + 2 - lbMess->width(), maxWidth - kClientWidth);
    if (wider > 0) {
        lbMess->resize(lbMess->width() + wider, lbMess->height());
        rseVal->move(rseVal->x() + wider / 2, rseVal->y());
        for (TMessageButton* b : {btnOk, btnYes, btnNo})
            b->move(b->x() + wider / 2, b->y());
    }
    const int width = kClientWidth + wider;
    const int needed = lbMess->heightForWidth(lbMess->width());
    const int extra = qBound(0, needed - lbMess->height(), kMaxExtraHeight);
    if (extra == 0 && wider == 0)
        return;
    setFixedSize(width, kClientHeight + extra);
    lbMess->resize(lbMess->width(), lbMess->height() + extra);
    rseVal->move(rseVal->x(), kValueTop + extra);
    for (TMessageButton* b : {btnOk, btnYes, btnNo})
        b->move(b->x(), kButtonTop + extra);
}

void TfrmMessage::placeOverOwner()
{
    QWidget* owner = m_owner ? m_owner.data() : parentWidget();
    if (!owner) {
        QWidget* active = QApplication::activeWindow();
        owner = active != this ? active : nullptr;
    }
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen* s = screen())
        area = s->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void TfrmMessage::reject()
{
    // Escape gives the cautious answer: No where there is one, otherwise Ok.
    if (m_current)
        answer(cancelResult());
}

void TfrmMessage::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_current)
        answer(cancelResult());
}

void TfrmMessage::SetStyleManager(IRbStyleRegistry* manager)
{
    for (TMessageButton* b : {btnYes, btnOk, btnNo})
        b->SetRbStyleManager(manager);
}
