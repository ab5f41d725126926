#include "app/MainMenu.h"

#include "app/ImageList.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

const QString kConnectCaption = QStringLiteral("Установить соединение");
const QString kDisconnectCaption = QStringLiteral("Разорвать соединение");
const QString kHideToolBar = QStringLiteral("Убрать панель инструментов");
const QString kShowToolBar = QStringLiteral("Показать панель инструментов");

QAction* makeAction(QObject* owner, const QString& name, const QString& caption, const QString& category,
                    int image)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setToolTip(QString(caption).remove(QLatin1Char('&')));
    action->setProperty("category", category);
    action->setIconVisibleInMenu(false); // the menu shows text only
    if (image >= 0)
        action->setIcon(ImageListIcon(image));
    return action;
}

} // namespace

TMainMenu::TMainMenu(QMainWindow& window)
    : QObject(&window)
    , m_window(window)
{
    QMainWindow* w = &window;
    const QString program = QStringLiteral("Программные");
    const QString comm = QStringLiteral("Коммуникационные");
    const QString view = QStringLiteral("Вид");
    actProgSet = makeAction(w, QStringLiteral("actProgSet"), QStringLiteral("Настройки"), program, 5);
    actConnect = makeAction(w, QStringLiteral("actConnect"), kConnectCaption, comm, 3);
    actCOMSet = makeAction(w, QStringLiteral("actCOMSet"), QStringLiteral("Выбор &COM-порта"), comm, 6);
    actFindFirst = makeAction(w, QStringLiteral("actFindFirst"), QStringLiteral("Найти первый"), comm, 7);
    actIndView = makeAction(w, QStringLiteral("actIndView"), QStringLiteral("Стиль индикаторов"), view, 10);
    actColors = makeAction(w, QStringLiteral("actColors"), QStringLiteral("Настройка цветов"), view, 2);
    FileExit = makeAction(w, QStringLiteral("FileExit"), QStringLiteral("Выход"), program, 11);
    actAbout = makeAction(w, QStringLiteral("actAbout"), QStringLiteral("О программе"), program, 12);
    actAbout->setToolTip(QString());
    actViewToolBar = makeAction(w, QStringLiteral("actViewToolBar"), kHideToolBar, view, -1);
    actTrend = makeAction(w, QStringLiteral("actTrend"), QStringLiteral("График измерений"), view, -1);
    actExchange = makeAction(w, QStringLiteral("actExchange"), QStringLiteral("Обмен с прибором"), view, -1);
    actJournal = makeAction(w, QStringLiteral("actJournal"), QStringLiteral("Журнал приборов"), view, -1);
    actVerify = makeAction(w, QStringLiteral("actVerify"), QStringLiteral("Проверка преобразователя"), program, -1);
    actHelp = new QAction(QStringLiteral("Справка"), w);
    actHelp->setObjectName(QStringLiteral("actHelp"));
}

void TMainMenu::Build(QAction* saveConfig, QAction* loadConfig)
{
    QMenuBar* bar = m_window.menuBar();
    bar->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    bar->setFixedHeight(24);
    bar->setNativeMenuBar(false);
    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    file->addAction(actProgSet);
    file->addSeparator();
    file->addAction(saveConfig);
    file->addAction(loadConfig);
    file->addSeparator();
    file->addAction(FileExit);
    QMenu* view = bar->addMenu(QStringLiteral("Вид"));
    view->addAction(actIndView);
    view->addAction(actColors);
    view->addAction(actTrend);
    view->addAction(actExchange);
    view->addAction(actJournal);
    view->addSeparator();
    view->addAction(actViewToolBar);
    QMenu* calibration = bar->addMenu(QStringLiteral("Настройка"));
    calibration->addAction(actVerify);
    QMenu* link = bar->addMenu(QStringLiteral("Соединение"));
    link->addAction(actConnect);
    link->addAction(actFindFirst);
    link->addSeparator();
    link->addAction(actCOMSet);
    QMenu* help = bar->addMenu(QStringLiteral("Помощь"));
    help->addAction(actHelp);
    help->addAction(actAbout);

    ActionToolBar1 = new QToolBar(&m_window);
    ActionToolBar1->setObjectName(QStringLiteral("ActionToolBar1"));
    ActionToolBar1->setMovable(false);
    ActionToolBar1->setFloatable(false);
    ActionToolBar1->toggleViewAction()->setEnabled(false); // no context menu to hide it behind the action's back
    ActionToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ActionToolBar1->setIconSize(QSize(32, 32));
    ActionToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ActionToolBar1->setFixedHeight(kToolBarHeight);
    ActionToolBar1->addAction(actProgSet);
    ActionToolBar1->addAction(actCOMSet);
    ActionToolBar1->addAction(actConnect);
    ActionToolBar1->addAction(actFindFirst);
    ActionToolBar1->addAction(FileExit);
    m_window.addToolBar(Qt::TopToolBarArea, ActionToolBar1);
}

void TMainMenu::SetConnectAction(bool open)
{
    const QString caption = open ? kDisconnectCaption : kConnectCaption;
    actConnect->setText(caption);
    actConnect->setToolTip(caption);
    actConnect->setIcon(ImageListIcon(open ? 4 : 3));
}

void TMainMenu::SetToolBarCaption(bool visible)
{
    const QString caption = visible ? kHideToolBar : kShowToolBar;
    actViewToolBar->setText(caption);
    actViewToolBar->setToolTip(caption);
}
