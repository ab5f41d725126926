#pragma once

#include "link/MessageDialog.h"

#include <QObject>

#include <functional>

// The program's message dialog, built when the first message comes rather
// than before the window shows. Once detached (its window is going) the
// messages are only logged.
class TDeferredMessageDialog final : public QObject, public IMessageDialog {
    Q_OBJECT
public:
    using TMake = std::function<IMessageDialog*()>;
    TDeferredMessageDialog(TMake make, QObject* parent);

    void Detach() { m_make = nullptr; }

    int MessageDlg(const QString& text, TMessageKind kind, int helpContext, int buttons) override;
    int EnterValue(const QString& prompt, double& value, int helpContext, double defaultValue) override;

private:
    IMessageDialog& Target() const;

    TMake m_make;
};
