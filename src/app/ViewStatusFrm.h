#pragma once

#include <QDialog>

class QLabel;
class TRbButton;
class TRbProgressBar;

// The small status window of the start-up connection and the device search:
// no close box, not modal, centred on the desktop.
class TfrmViewStatus : public QDialog {
    Q_OBJECT
public:
    explicit TfrmViewStatus(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const;
    // Outer height as the window's design gives it (170 normally, 120 for
    // the start-up connection); the client area is that less the caption.
    void SetWindowHeight(int outerHeight);
    int WindowHeight() const { return m_outerHeight; }
    // Shows the window without making it modal and centres it on the screen.
    void ShowStatus();

    static constexpr int kClientWidth = 407;
    static constexpr int kClientHeight = 136;
    static constexpr int kCaptionHeight = 34; // 170 outer - 136 client
    static const QString DefaultText;

    QLabel* Label1;
    // The search's progress and its stop button, hidden otherwise.
    TRbProgressBar* RbProgressBar;
    TRbButton* btnStop; // emits stopRequested
    void btnStopClick();

signals:
    void stopRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override; // Esc must not close it
    void closeEvent(QCloseEvent* event) override;

private:
    int m_outerHeight = kClientHeight + kCaptionHeight;
};
