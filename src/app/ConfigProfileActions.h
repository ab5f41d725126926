#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QWidget;
class TConfigurationPage;
class TInformationPage;
class TTransducerController;

// "Сохранить конфигурацию..." and "Загрузить конфигурацию..." of the menu
// "Файл": the configuration page (and the information page's sensor text)
// to and from a profile file.
class TConfigProfileActions : public QObject {
    Q_OBJECT
public:
    // The actions belong to `window`; the pages they act on come once they exist.
    TConfigProfileActions(QWidget& window, TTransducerController& ctrl);
    void SetPages(TInformationPage& info, TConfigurationPage& config);

    // The file dialog: the chosen path, empty when cancelled. Tests answer it.
    std::function<QString(bool save, const QString& folder)> ChooseFile;

    void actSaveConfigExecute();
    void actLoadConfigExecute();

    QAction* actSaveConfig;
    QAction* actLoadConfig;

private:
    QString DefaultChooseFile(bool save, const QString& folder);

    QWidget& m_window;
    TTransducerController& m_ctrl;
    TInformationPage* m_info = nullptr;
    TConfigurationPage* m_config = nullptr;
    QString m_folder; // where the last profile was
};
