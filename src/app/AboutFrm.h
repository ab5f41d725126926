#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

// The About box: a borderless picture with the product name, the version and
// the maker's lines. A click, Esc or losing activation closes it.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    // Shows it (not modal) centred on its parent.
    void ShowAbout();
    const QImage& Picture() const { return m_picture; }

    static constexpr int kWidth = 298;
    static constexpr int kHeight = 305;

    QLabel* lbProductName;
    QLabel* lbVersion;
    QLabel* lbPurpose;
    QLabel* lbMaker;
    QLabel* lbContacts;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QImage m_picture;
};
