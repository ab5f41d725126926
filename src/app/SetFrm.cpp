#include "app/SetFrm.h"

#include "app/AccessibleNames.h"
#include "app/COMChoiceFrm.h"
#include "app/InstrumentsPage.h"
#include "link/CommPortDriver.h"
#include "device/DeviceSession.h"
#include "app/LookServices.h"
#include "device/TransducerController.h"
#include "link/MessageDialog.h"
#include "app/ProgSettings.h"
#include "app/VerifySettingsPage.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbStyleManager.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>

namespace {

const QString kAskDisconnect = QStringLiteral("Разорвать установленное соединение?");

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent, int x, int y, int w, int h = 17)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    return l;
}

// The fixed line settings, shown and not editable.
QLineEdit* MakeReadOnly(const QString& name, const QString& text, QWidget* parent, int x, int y, int w)
{
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    e->setPalette(p);
    e->setGeometry(x, y, w, 21);
    return e;
}

} // namespace

TfrmSettings::TfrmSettings(TProgSettings& settings, TTransducerController& ctrl, ILookServices& look, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_settings(settings)
    , m_session(ctrl.Session())
    , m_ctrl(ctrl)
    , m_look(look)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Настройки программы"));
    setModal(true);
    setFixedSize(608, 281);
    DeviceSource = [](const TComPortMap& ports) { return FindSerialDevices(ports); };
    CreateControls();
    FormCreate();
}

void TfrmSettings::CreateControls()
{
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(8, 8, 165, 232);
    TreeView1->header()->hide();
    TreeView1->setColumnCount(1);
    nodeRoot = new QTreeWidgetItem(TreeView1, {QStringLiteral("Настройки программы")});
    nodeBasic = new QTreeWidgetItem(nodeRoot, {QStringLiteral("Общие")});
    nodeConnection = new QTreeWidgetItem(nodeRoot, {QStringLiteral("Соединение")});
    nodeVerify = new QTreeWidgetItem(nodeRoot, {QStringLiteral("Проверка")});
    nodeInstruments = new QTreeWidgetItem(nodeRoot, {QStringLiteral("Эталоны")});
    TreeView1->expandAll();
    TreeView1->setAccessibleName(QStringLiteral("Разделы настроек"));
    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { TreeView1Change(current); });

    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(181, 8, 419, 232);
    tsBasic = new QWidget(PageControl1);
    tsBasic->setObjectName(QStringLiteral("tsBasic"));
    tsConnection = new QWidget(PageControl1);
    tsConnection->setObjectName(QStringLiteral("tsConnection"));
    PageControl1->addWidget(tsBasic);
    PageControl1->addWidget(tsConnection);
    tsVerify = new TVerifySettingsPage(m_settings, PageControl1);
    PageControl1->addWidget(tsVerify);
    tsInstruments = new TInstrumentsPage(m_settings.Instruments, PageControl1);
    PageControl1->addWidget(tsInstruments);

    // ---- tsBasic
    rpSet1 = new TRbPanel(tsBasic);
    rpSet1->setObjectName(QStringLiteral("rpSet1"));
    rpSet1->SetBounds(0, 0, 419, 232);
    Label1 = MakeLabel(QStringLiteral("Label1"), QStringLiteral("При загрузке"), rpSet1, 14, 12, 200);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    cbSetConnectBeforeRun = new TRbCheckBox(rpSet1);
    cbSetConnectBeforeRun->setObjectName(QStringLiteral("cbSetConnectBeforeRun"));
    cbSetConnectBeforeRun->SetCaption(QStringLiteral("Устанавливать соединение с прибором"));
    cbSetConnectBeforeRun->SetBounds(24, 36, 300, 17);
    rbConnectToNum = MakeOption(QStringLiteral("rbConnectToNum"), QStringLiteral("Подключиться к прибору c адресом"), rpSet1);
    rbConnectToNum->setGeometry(44, 62, 240, 19);
    rseSlaveID = new QSpinBox(rpSet1);
    rseSlaveID->setObjectName(QStringLiteral("rseSlaveID"));
    rseSlaveID->setRange(0, 255);
    rseSlaveID->setGeometry(288, 61, 58, 21);
    rseSlaveID->setAccessibleName(rbConnectToNum->Caption());
    rbToLast = MakeOption(QStringLiteral("rbToLast"), QStringLiteral("Подключиться к последнему подключенному прибору"), rpSet1);
    rbToLast->setGeometry(44, 88, 360, 19);
    rbFindFirst = MakeOption(QStringLiteral("rbFindFirst"), QStringLiteral("Подключиться к первому найденному"), rpSet1);
    rbFindFirst->setGeometry(44, 114, 360, 19);
    Label13 = MakeLabel(QStringLiteral("Label13"),
                        QStringLiteral("Максимальное количество попыток установления связи с прибором для операций "
                                       "чтения\\записи "),
                        rpSet1, 14, 150, 310, 34);
    Label13->setWordWrap(true);
    rseRepNum = new QSpinBox(rpSet1);
    rseRepNum->setObjectName(QStringLiteral("rseRepNum"));
    rseRepNum->setRange(1, 10);
    rseRepNum->setGeometry(336, 156, 58, 21);
    rseRepNum->setAccessibleName(QStringLiteral("Количество попыток установления связи"));
    cbHistoryRecording = new TRbCheckBox(rpSet1);
    cbHistoryRecording->setObjectName(QStringLiteral("cbHistoryRecording"));
    cbHistoryRecording->SetCaption(QStringLiteral("Вести журнал приборов"));
    cbHistoryRecording->SetBounds(14, 200, 300, 17);

    // ---- tsConnection
    rpSet2 = new TRbPanel(tsConnection);
    rpSet2->setObjectName(QStringLiteral("rpSet2"));
    rpSet2->SetBounds(0, 0, 419, 232);
    Label3 = MakeLabel(QStringLiteral("Label3"), QStringLiteral("СОМ-порт:"), rpSet2, 14, 22, 130);
    auto* combo = new TComPortCombo(rpSet2);
    connect(combo, &TComPortCombo::aboutToDropDown, this, &TfrmSettings::cbComDropDown);
    cbCom = combo;
    cbCom->setObjectName(QStringLiteral("cbCom"));
    cbCom->setEditable(true);
    cbCom->setInsertPolicy(QComboBox::NoInsert);
    cbCom->setGeometry(150, 20, 255, 21);
    cbCom->installEventFilter(this);
    cbCom->lineEdit()->installEventFilter(this);
    connect(cbCom, &QComboBox::activated, this, &TfrmSettings::cbComSelect);

    Label4 = MakeLabel(QStringLiteral("Label4"), QStringLiteral("Скорость:"), rpSet2, 14, 58, 130);
    edComSpeed = MakeReadOnly(QStringLiteral("edComSpeed"), QStringLiteral("1200"), rpSet2, 150, 56, 60);
    Label5 = MakeLabel(QStringLiteral("Label5"), QStringLiteral("бит/с"), rpSet2, 216, 58, 60);
    Label8 = MakeLabel(QStringLiteral("Label8"), QStringLiteral("Стопбиты:"), rpSet2, 14, 88, 130);
    Edit3 = MakeReadOnly(QStringLiteral("Edit3"), QStringLiteral("2"), rpSet2, 150, 86, 60);
    Label6 = MakeLabel(QStringLiteral("Label6"), QStringLiteral("Размер блока данных:"), rpSet2, 14, 118, 130);
    Edit2 = MakeReadOnly(QStringLiteral("Edit2"), QStringLiteral("8"), rpSet2, 150, 116, 60);
    Label7 = MakeLabel(QStringLiteral("Label7"), QStringLiteral("бит"), rpSet2, 216, 118, 60);
    Label10 = MakeLabel(QStringLiteral("Label10"), QStringLiteral("Контроль четности:"), rpSet2, 14, 148, 130);
    Edit4 = MakeReadOnly(QStringLiteral("Edit4"), QStringLiteral("нет"), rpSet2, 150, 146, 60);
    cbQuickSearch = new TRbCheckBox(rpSet2);
    cbQuickSearch->setObjectName(QStringLiteral("cbQuickSearch"));
    cbQuickSearch->SetCaption(QStringLiteral("Быстрый поиск"));
    cbQuickSearch->SetBounds(14, 186, 300, 17);
    NameByLabel(cbCom, Label3);
    NameByLabel(edComSpeed, Label4);
    NameByLabel(Edit3, Label8);
    NameByLabel(Edit2, Label6);
    NameByLabel(Edit4, Label10);

    RbButton2 = new TRbButton(this);
    RbButton2->setObjectName(QStringLiteral("RbButton2"));
    RbButton2->SetCaption(QStringLiteral("Закрыть"));
    RbButton2->SetBounds(515, 248, 85, 25);

    connect(cbSetConnectBeforeRun, &TRbCheckBox::clicked, this, &TfrmSettings::cbSetConnectBeforeRunClick);
    connect(rbConnectToNum, &TOptionButton::clicked, this, &TfrmSettings::rbConnectToNumClick);
    connect(rbToLast, &TOptionButton::clicked, this, &TfrmSettings::rbToLastClick);
    connect(rbFindFirst, &TOptionButton::clicked, this, &TfrmSettings::rbFindFirstClick);
    connect(rseSlaveID, &QSpinBox::valueChanged, this, &TfrmSettings::rseSlaveIDChange);
    connect(rseRepNum, &QSpinBox::valueChanged, this, &TfrmSettings::rseRepNumChange);
    connect(cbQuickSearch, &TRbCheckBox::clicked, this, &TfrmSettings::cbQuickSearchClick);
    connect(cbHistoryRecording, &TRbCheckBox::clicked, this, &TfrmSettings::cbHistoryRecordingClick);
    connect(RbButton2, &TRbButton::clicked, this, &TfrmSettings::RbButton2Click);
}

void TfrmSettings::FormCreate()
{
    // Only these two follow the scheme; the options and the panels take the
    // work-area colour instead.
    m_look.AdoptSchemeLook(this, {cbSetConnectBeforeRun, RbButton2},
                           {tsBasic, tsConnection, cbSetConnectBeforeRun, cbQuickSearch, cbHistoryRecording,
                            rbConnectToNum, rbFindFirst, rbToLast, rpSet1, rpSet2, Edit3, Edit2, Edit4, tsVerify,
                            tsVerify->rpVerify});
    tsVerify->ShowSettings();

    const TProgSettings& s = m_settings;
    cbSetConnectBeforeRun->SetChecked(s.ConnectBeforeRun);
    for (TOptionButton* b : {rbConnectToNum, rbToLast, rbFindFirst})
        b->setEnabled(s.ConnectBeforeRun);
    SetOptionChecked(rbConnectToNum, s.ConnectToNum);
    SetOptionChecked(rbToLast, s.ConnectToLast);
    SetOptionChecked(rbFindFirst, s.ConnectToFirst);
    rseSlaveID->setEnabled(s.ConnectBeforeRun && s.ConnectToNum);
    rseSlaveID->setValue(s.DefaultSlaveID);
    rseRepNum->setValue(s.RepeatNum);
    cbQuickSearch->SetChecked(s.QuickSearch);
    cbHistoryRecording->SetChecked(s.HistoryRecording);
}

void TfrmSettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmSettings::FormShow()
{
    FillPortList();
    const QString wanted = QStringLiteral("com%1").arg(m_settings.DefaultComPortNum);
    for (int i = 0; i < cbCom->count(); ++i) {
        // Entries read "COMn: device (description)"; the number part decides.
        const QString entry = cbCom->itemText(i);
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0
            || entry.startsWith(wanted + QLatin1Char(':'), Qt::CaseInsensitive)) {
            const QSignalBlocker block(cbCom);
            cbCom->setCurrentIndex(i);
            break;
        }
    }
    ShowPortEntry(*cbCom);
    m_settings.DefaultSlaveID = uint8_t(m_session.Transducer.SlaveID & 0xFF);
    rseSlaveID->setValue(m_settings.DefaultSlaveID);
    tsInstruments->LoadFromSettings();
    TreeView1->setCurrentItem(nodeBasic);
    TreeView1Change(nodeBasic);
}

void TfrmSettings::FillPortList()
{
    TComPortMap& ports = m_settings.Ports;
    const QVector<TSerialDevice> found = DeviceSource ? DeviceSource(ports) : QVector<TSerialDevice>{};
    if (FillPortCombo(*cbCom, ports, found))
        m_session.link.drv->setPortMap(ports);
}

void TfrmSettings::TreeView1Change(QTreeWidgetItem* node)
{
    if (!node)
        return;
    QTreeWidgetItem* parent = node->parent();
    const int index = parent ? parent->indexOfChild(node) : TreeView1->indexOfTopLevelItem(node);
    if (index == 0)
        PageControl1->setCurrentWidget(tsBasic);
    else if (index == 1)
        PageControl1->setCurrentWidget(tsConnection);
    else if (index == 2)
        PageControl1->setCurrentWidget(tsVerify);
    else if (index == 3)
        PageControl1->setCurrentWidget(tsInstruments);
}

void TfrmSettings::cbSetConnectBeforeRunClick()
{
    TProgSettings& s = m_settings;
    const bool on = cbSetConnectBeforeRun->Checked();
    for (TOptionButton* b : {rbConnectToNum, rbToLast, rbFindFirst})
        b->setEnabled(on);
    if (on) {
        s.ConnectToNum = OptionChecked(rbConnectToNum);
        s.ConnectToLast = OptionChecked(rbToLast);
        s.ConnectToFirst = OptionChecked(rbFindFirst);
        if (!s.ConnectToNum && !s.ConnectToLast && !s.ConnectToFirst) {
            s.ConnectToNum = true;
            SetOptionChecked(rbConnectToNum, true);
        }
        s.DefaultSlaveID = uint8_t(rseSlaveID->value());
    } else {
        s.ConnectToNum = false;
        s.ConnectToLast = false;
        s.ConnectToFirst = false;
    }
    rseSlaveID->setEnabled(s.ConnectToNum);
    s.ConnectBeforeRun = on;
}

void TfrmSettings::rbConnectToNumClick()
{
    TProgSettings& s = m_settings;
    SetOptionChecked(rbToLast, false);
    SetOptionChecked(rbFindFirst, false);
    s.ConnectToFirst = false;
    s.ConnectToLast = false;
    s.ConnectToNum = true;
    rseSlaveID->setEnabled(true);
}

void TfrmSettings::rbToLastClick()
{
    TProgSettings& s = m_settings;
    s.DefaultSlaveID = uint8_t(m_session.Transducer.SlaveID & 0xFF);
    rseSlaveID->setValue(s.DefaultSlaveID);
    rseSlaveID->setEnabled(false);
    SetOptionChecked(rbConnectToNum, false);
    SetOptionChecked(rbFindFirst, false);
    s.ConnectToFirst = false;
    s.ConnectToNum = false;
    s.ConnectToLast = true;
}

void TfrmSettings::rbFindFirstClick()
{
    TProgSettings& s = m_settings;
    rseSlaveID->setEnabled(false);
    SetOptionChecked(rbConnectToNum, false);
    SetOptionChecked(rbToLast, false);
    s.ConnectToNum = false;
    s.ConnectToLast = false;
    s.ConnectToFirst = true;
}

void TfrmSettings::rseSlaveIDChange()
{
    m_settings.DefaultSlaveID = uint8_t(rseSlaveID->value());
}

void TfrmSettings::rseRepNumChange()
{
    m_settings.RepeatNum = uint8_t(rseRepNum->value());
    m_session.link.RepeatNum = rseRepNum->value(); // the next exchange counts with it
}

void TfrmSettings::cbQuickSearchClick()
{
    m_settings.QuickSearch = cbQuickSearch->Checked();
}

void TfrmSettings::cbHistoryRecordingClick()
{
    m_settings.HistoryRecording = cbHistoryRecording->Checked();
    emit historyRecordingChanged(m_settings.HistoryRecording);
}

void TfrmSettings::cbComDropDown()
{
    const QString typed = cbCom->currentText();
    FillPortList();
    const QSignalBlocker block(cbCom);
    const int i = cbCom->findText(typed);
    if (i >= 0)
        cbCom->setCurrentIndex(i);
    else
        cbCom->setEditText(typed);
}

bool TfrmSettings::ChangePort(int n, const QString& portName)
{
    m_session.shell->ProcessEvents();
    if (m_ctrl.IsConnected()) {
        if (m_session.Messages().Show(kAskDisconnect, mkConfirmation, mbYes | mbNo) != mrYes)
            return false;
        m_session.shell->DisconnectDevice();
    }
    m_settings.DefaultComPortNum = uint8_t(n);
    m_session.link.drv->SetPortName(portName);
    return true;
}

void TfrmSettings::cbComSelect(int index)
{
    if (index < 0 || index >= cbCom->count())
        return;
    bool ok = false;
    const int n = PortNumberOf(cbCom->itemText(index), &ok);
    if (!ok || n < 1 || n > MaxComPortNumber || n == m_session.link.drv->Port())
        return;
    ChangePort(n, QStringLiteral("//./COM%1").arg(n));
}

bool TfrmSettings::cbComKeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    const QString text = cbCom->currentText();
    if (!text.contains(QStringLiteral("com"), Qt::CaseInsensitive))
        return true;
    bool ok = false;
    const int n = PortNumberOf(text, &ok);
    if (!ok || n < 1 || n > MaxComPortNumber) {
        m_session.Messages().Show(QStringLiteral("Неверное имя порта: \"%1\".\n\rВведите порт в виде COM1 … COM%2.")
                       .arg(text.trimmed())
                       .arg(MaxComPortNumber),
                   mkWarning, mbOk);
        cbCom->setFocus();
        return true;
    }
    ChangePort(n, QStringLiteral("\\\\.\\COM%1").arg(n));
    return true;
}

bool TfrmSettings::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == cbCom || watched == cbCom->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cbComKeyDown(key);
            return true; // Enter here is no "Закрыть"
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSettings::RbButton2Click()
{
    accept();
}
