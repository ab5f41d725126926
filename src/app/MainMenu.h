#pragma once

#include <QObject>

class QAction;
class QMainWindow;
class QToolBar;

// The main window's actions, its menu bar and its toolbar. The window
// connects the actions to what they do.
class TMainMenu : public QObject {
    Q_OBJECT
public:
    static constexpr int kToolBarHeight = 42;

    // The actions, owned by `window`.
    explicit TMainMenu(QMainWindow& window);
    // The menu bar and the toolbar, with the profile actions under "Файл".
    void Build(QAction* saveConfig, QAction* loadConfig);

    // actConnect as the link is: connect or disconnect.
    void SetConnectAction(bool open);
    // actViewToolBar as the toolbar is: hide or show it.
    void SetToolBarCaption(bool visible);

    QAction* actProgSet;
    QAction* actConnect;
    QAction* actCOMSet;
    QAction* actFindFirst;
    QAction* actIndView;
    QAction* actColors;
    QAction* FileExit;
    QAction* actAbout;
    QAction* actViewToolBar;
    QAction* actTrend;    // "График измерений"
    QAction* actExchange; // "Обмен с прибором"
    QAction* actJournal;  // "Журнал приборов"
    QAction* actVerify;   // "Проверка преобразователя"
    QAction* actHelp;     // "Справка": no action behind it
    QToolBar* ActionToolBar1 = nullptr;

private:
    QMainWindow& m_window;
};
