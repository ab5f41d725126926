#pragma once

#include <QProxyStyle>

// The Fusion style as it is, but for the extension arrows of menu bars and
// toolbars, which it gives as files of Qt's resources: QIcon asks every
// image-format plugin about such a file and so loads all of them, with their
// libraries, when the main window's menu bar is made. Here the same PNGs are
// read by the built-in reader instead.
class TProgramStyle : public QProxyStyle
{
    Q_OBJECT
public:
    TProgramStyle();

    // Puts the style over the application's own when that is Fusion (another
    // style, chosen by the desktop or -style, is left alone). True if it did.
    static bool InstallOverFusion();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
