#include "app/CertificateInputFrm.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QLineEdit* Line(QWidget* parent, const QString& name, const QString& accessible, const QString& text)
{
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setAccessibleName(accessible);
    e->setMinimumWidth(300);
    return e;
}

} // namespace

TfrmCertificateInput::TfrmCertificateInput(const TCertificateInput& in, qint64 sensorNumber, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCertificateInput"));
    setWindowTitle(QStringLiteral("Сертификат калибровки"));
    auto* form = new QFormLayout;
    edOrganisation = Line(this, QStringLiteral("edOrganisation"), QStringLiteral("Организация"), in.organisation);
    edAddress = Line(this, QStringLiteral("edAddress"), QStringLiteral("Адрес организации"), in.organisationAddress);
    rseAmbient = new QDoubleSpinBox(this);
    rseAmbient->setObjectName(QStringLiteral("rseAmbient"));
    rseAmbient->setAccessibleName(QStringLiteral("Температура воздуха"));
    rseAmbient->setRange(-40, 60);
    rseAmbient->setDecimals(1);
    rseAmbient->setSuffix(QStringLiteral(" °C"));
    rseAmbient->setValue(std::isfinite(in.ambientTemperature) ? in.ambientTemperature : 20.0);
    rseHumidity = new QSpinBox(this);
    rseHumidity->setObjectName(QStringLiteral("rseHumidity"));
    rseHumidity->setAccessibleName(QStringLiteral("Относительная влажность"));
    rseHumidity->setRange(0, 100);
    rseHumidity->setSuffix(QStringLiteral(" %"));
    rseHumidity->setValue(std::isfinite(in.humidity) ? int(in.humidity) : 50);
    edTechnician = Line(this, QStringLiteral("edTechnician"), QStringLiteral("Калибровку выполнил"), in.technician);
    edApprover = Line(this, QStringLiteral("edApprover"), QStringLiteral("Утвердил"), in.approver);
    form->addRow(QStringLiteral("Организация:"), edOrganisation);
    form->addRow(QStringLiteral("Адрес:"), edAddress);
    form->addRow(QStringLiteral("Температура воздуха:"), rseAmbient);
    form->addRow(QStringLiteral("Относительная влажность:"), rseHumidity);
    form->addRow(QStringLiteral("Калибровку выполнил:"), edTechnician);
    form->addRow(QStringLiteral("Утвердил:"), edApprover);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Выдать"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Сертификат калибровки датчика № %1").arg(sensorNumber), this));
    layout->addLayout(form);
    layout->addWidget(buttons);
}

TCertificateInput TfrmCertificateInput::Input() const
{
    TCertificateInput in;
    in.organisation = edOrganisation->text().trimmed();
    in.organisationAddress = edAddress->text().trimmed();
    in.ambientTemperature = rseAmbient->value();
    in.humidity = rseHumidity->value();
    in.technician = edTechnician->text().trimmed();
    in.approver = edApprover->text().trimmed();
    return in;
}
