#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class TfrmMain;

// "Сохранить конфигурацию..." and "Загрузить конфигурацию..." of the menu
// "Файл": the configuration page (and the information page's sensor text)
// to and from a profile file.
class TConfigProfileActions : public QObject {
    Q_OBJECT
public:
    explicit TConfigProfileActions(TfrmMain& main);

    // The file dialog: the chosen path, empty when cancelled. Tests answer it.
    std::function<QString(bool save, const QString& folder)> ChooseFile;

    void actSaveConfigExecute();
    void actLoadConfigExecute();

    QAction* actSaveConfig;
    QAction* actLoadConfig;

private:
    QString DefaultChooseFile(bool save, const QString& folder);

    TfrmMain& m_main;
    QString m_folder; // where the last profile was
};
