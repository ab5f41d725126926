#pragma once

#include <QAccessibleTextInterface>
#include <QAccessibleWidget>

#include <functional>

class TLiquidIndicator;

// An indicator as assistive technology sees it: a read-only text named by
// the indicator's accessible name whose value is the shown reading with its
// unit ("23,5 °C"), readable through the text interface as a label is.
class TLiquidIndicatorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TLiquidIndicatorAccessible(TLiquidIndicator* indicator);

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTextInterface, read-only over the value.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QString Value() const;
};

// Gives every TLiquidIndicator its interface; safe to call more than once.
void IndicatorInstallAccessibleFactory();

// Announces a change to assistive technology. A sink, when set, receives
// the events instead (tests record them: without a platform bridge Qt drops
// them unseen).
using TAccessibleEventSink = std::function<void(QAccessibleEvent*)>;
void SetIndicatorAccessibleSink(TAccessibleEventSink sink);
void AnnounceIndicatorEvent(QAccessibleEvent* event);
