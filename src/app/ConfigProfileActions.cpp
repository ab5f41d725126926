#include "app/ConfigProfileActions.h"

#include "common/Cp1251.h"
#include "device/ConfigProfile.h"
#include "device/Information.h"
#include "app/ConfigurationPage.h"
#include "app/InformationPage.h"
#include "device/TransducerController.h"
#include "link/MessageDialog.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kFilter = QStringLiteral("Профили конфигурации (*.zcf);;Все файлы (*)");

} // namespace

TConfigProfileActions::TConfigProfileActions(QWidget& window, TTransducerController& ctrl)
    : QObject(&window)
    , m_window(window)
    , m_ctrl(ctrl)
    , m_folder(QDir::homePath())
{
    setObjectName(QStringLiteral("ConfigProfileActions"));
    actSaveConfig = new QAction(QStringLiteral("Сохранить конфигурацию..."), &window);
    actSaveConfig->setObjectName(QStringLiteral("actSaveConfig"));
    actLoadConfig = new QAction(QStringLiteral("Загрузить конфигурацию..."), &window);
    actLoadConfig->setObjectName(QStringLiteral("actLoadConfig"));
    connect(actSaveConfig, &QAction::triggered, this, &TConfigProfileActions::actSaveConfigExecute);
    connect(actLoadConfig, &QAction::triggered, this, &TConfigProfileActions::actLoadConfigExecute);
    ChooseFile = [this](bool save, const QString& folder) { return DefaultChooseFile(save, folder); };
}

void TConfigProfileActions::SetPages(TInformationPage& info, TConfigurationPage& config)
{
    m_info = &info;
    m_config = &config;
}

QString TConfigProfileActions::DefaultChooseFile(bool save, const QString& folder)
{
    if (save)
        return QFileDialog::getSaveFileName(&m_window, QStringLiteral("Сохранить конфигурацию"), folder, kFilter);
    return QFileDialog::getOpenFileName(&m_window, QStringLiteral("Загрузить конфигурацию"), folder, kFilter);
}

void TConfigProfileActions::actSaveConfigExecute()
{
    TConfigProfile profile;
    QString error;
    if (!m_config->TakeProfile(&profile, &error)) {
        m_ctrl.MessageDialog().ShowError(QStringLiteral("Конфигурация не сохранена. ") + error);
        return;
    }
    QString path = ChooseFile ? ChooseFile(true, m_folder) : QString();
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + ConfigProfileSuffix;
    // The sensor text only when the user wants it: it names one sensor, the profile serves many.
    const QString sensorText = m_info->edSensorType->text();
    if (!sensorText.trimmed().isEmpty()
        && m_ctrl.MessageDialog().Show(QStringLiteral("Сохранить в профиле тип датчика «%1»?").arg(sensorText), mkConfirmation,
                      mbYes | mbNo)
               == mrYes) {
        profile.HasSensorText = true;
        profile.SensorTypeText = sensorText;
    }
    if (!SaveConfigProfile(path, profile, &error)) {
        m_ctrl.MessageDialog().ShowError(error);
        return;
    }
    m_folder = QFileInfo(path).absolutePath();
}

void TConfigProfileActions::actLoadConfigExecute()
{
    const QString path = ChooseFile ? ChooseFile(false, m_folder) : QString();
    if (path.isEmpty())
        return;
    TConfigProfile profile;
    QString error;
    if (!LoadConfigProfile(path, &profile, &error)) {
        m_ctrl.MessageDialog().ShowError(error);
        return;
    }
    m_folder = QFileInfo(path).absolutePath();
    if (!m_config->FillFromProfile(profile, &error)) {
        m_ctrl.MessageDialog().ShowError(QStringLiteral("Профиль «%1»: %2").arg(QFileInfo(path).fileName(), error));
        return;
    }
    if (profile.HasSensorText && toCp1251(profile.SensorTypeText).size() > kSensorTypeWireLength) {
        // The field would cut it without a word; the device keeps no more.
        m_ctrl.MessageDialog().ShowError(QStringLiteral("Профиль «%1»: тип датчика длиннее %2 символов, он не загружен.")
                      .arg(QFileInfo(path).fileName())
                      .arg(kSensorTypeWireLength));
    } else if (profile.HasSensorText) {
        // As typing the text and leaving the field.
        m_info->edSensorType->setText(profile.SensorTypeText);
        m_info->edSensorTypeExit();
        m_ctrl.SetInfoModified(true);
    }
    m_ctrl.SetConfigModified(true); // the configuration page's mark wins the shared panel
}
