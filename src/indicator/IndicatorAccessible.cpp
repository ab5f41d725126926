#include "indicator/IndicatorAccessible.h"

#include "indicator/LiquidIndicator.h"

TLiquidIndicatorAccessible::TLiquidIndicatorAccessible(TLiquidIndicator* indicator)
    : QAccessibleWidget(indicator, QAccessible::StaticText)
{
}

QString TLiquidIndicatorAccessible::Value() const
{
    return static_cast<const TLiquidIndicator*>(widget())->AccessibleValue();
}

QString TLiquidIndicatorAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return Value();
    return QAccessibleWidget::text(t);
}

void* TLiquidIndicatorAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void TLiquidIndicatorAccessible::selection(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
}

QString TLiquidIndicatorAccessible::text(int startOffset, int endOffset) const
{
    const QString v = Value();
    startOffset = qBound(0, startOffset, int(v.size()));
    endOffset = qBound(startOffset, endOffset < 0 ? int(v.size()) : endOffset, int(v.size()));
    return v.mid(startOffset, endOffset - startOffset);
}

int TLiquidIndicatorAccessible::characterCount() const
{
    return int(Value().size());
}

QRect TLiquidIndicatorAccessible::characterRect(int) const
{
    return rect(); // the cells do not map one to one onto the spoken text
}

int TLiquidIndicatorAccessible::offsetAtPoint(const QPoint&) const
{
    return -1;
}

QString TLiquidIndicatorAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = offset;
    *endOffset = offset;
    return QString();
}

namespace {

TAccessibleEventSink& Sink()
{
    static TAccessibleEventSink sink;
    return sink;
}

QAccessibleInterface* IndicatorAccessibleFactory(const QString&, QObject* object)
{
    if (auto* ind = qobject_cast<TLiquidIndicator*>(object))
        return new TLiquidIndicatorAccessible(ind);
    return nullptr;
}

} // namespace

void IndicatorInstallAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&IndicatorAccessibleFactory);
        return true;
    }();
    (void)installed;
}

void SetIndicatorAccessibleSink(TAccessibleEventSink sink)
{
    Sink() = std::move(sink);
}

void AnnounceIndicatorEvent(QAccessibleEvent* event)
{
    if (Sink())
        Sink()(event);
    else
        QAccessible::updateAccessibility(event);
}
