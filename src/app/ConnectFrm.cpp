#include "app/ConnectFrm.h"

#include "app/AccessibleNames.h"
#include "device/DeviceSession.h"
#include "app/LookServices.h"
#include "device/TransducerController.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbStyleManager.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kBadAddress =
    QStringLiteral("Адрес прибора должен быть целым числом от 1 до 255.\n\rУкажите адрес и попробуйте снова.");

} // namespace

TfrmConnect::TfrmConnect(TTransducerController& ctrl, ILookServices& look, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_session(ctrl.Session())
    , m_ctrl(ctrl)
    , m_look(look)
{
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("Установка соединения"));
    setModal(true);
    setFixedSize(270, 128); // 278 x 162 with the frame and caption

    RbPanel1 = new TRbPanel(this);
    RbPanel1->setObjectName(QStringLiteral("RbPanel1"));
    RbPanel1->SetCaptionPosition(cpGroupBox);
    RbPanel1->SetCaption(QStringLiteral("Установить соединение с прибором "));
    RbPanel1->SetBounds(8, 6, 254, 114);

    lbPLID = new QLabel(QStringLiteral("Адрес (1..255):"), RbPanel1);
    lbPLID->setObjectName(QStringLiteral("lbPLID"));
    lbPLID->setGeometry(16, 32, 90, 21);
    cbPL_ID = new QComboBox(RbPanel1);
    cbPL_ID->setObjectName(QStringLiteral("cbPL_ID"));
    cbPL_ID->setEditable(true);
    cbPL_ID->setInsertPolicy(QComboBox::NoInsert);
    cbPL_ID->setMaxVisibleItems(16);
    cbPL_ID->setGeometry(112, 32, 120, 21);
    NameByLabel(cbPL_ID, lbPLID);

    btnFind = new TRbButton(RbPanel1);
    btnFind->setObjectName(QStringLiteral("btnFind"));
    btnFind->SetCaption(QStringLiteral("Найти"));
    btnFind->SetBounds(16, 72, 105, 25);
    btnFind->SetDefault(true);
    btnFindFirst = new TRbButton(RbPanel1);
    btnFindFirst->setObjectName(QStringLiteral("btnFindFirst"));
    btnFindFirst->SetCaption(QStringLiteral("Найти первый"));
    btnFindFirst->SetBounds(133, 72, 105, 25);
    connect(btnFind, &TRbButton::clicked, this, &TfrmConnect::btnFindClick);
    connect(btnFindFirst, &TRbButton::clicked, this, &TfrmConnect::btnFindFirstClick);

    m_look.AdoptSchemeLook(this);
}

void TfrmConnect::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmConnect::FormShow()
{
    cbPL_ID->clear();
    QStringList items;
    for (int i = 1; i <= 255; ++i)
        items << QString::number(i);
    cbPL_ID->addItems(items);
    cbPL_ID->setCurrentIndex(cbPL_ID->findText(QString::number(m_session.Transducer.SlaveID)));
    if (cbPL_ID->currentIndex() < 0)
        cbPL_ID->setEditText(QString());
    cbPL_ID->setFocus();
}

bool TfrmConnect::ParseAddress(const QString& text, int* address)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok || n < 1 || n > 255)
        return false;
    *address = n;
    return true;
}

void TfrmConnect::btnFindClick()
{
    int address = 0;
    if (!ParseAddress(cbPL_ID->currentText(), &address)) {
        // The dialog stays open for a corrected address.
        m_session.Messages().Show(kBadAddress, mkError, mbOk);
        cbPL_ID->setFocus();
        cbPL_ID->lineEdit()->selectAll();
        return;
    }
    m_session.Transducer.SlaveID = address;
    m_session.link.ReportLinkErrors = true;
    m_ctrl.Connect();
    accept();
}

void TfrmConnect::btnFindFirstClick()
{
    // Closed first: a modal dialog would keep the status window's "Стоп!" from the user.
    accept();
    m_ctrl.SearchFirstDevice();
}
