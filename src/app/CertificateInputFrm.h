#pragma once

#include "passport/Certificate.h"

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// What a certificate needs that no device reading gives: the organisation,
// the ambient conditions of the calibration, the technician and approver.
class TfrmCertificateInput : public QDialog {
    Q_OBJECT
public:
    TfrmCertificateInput(const TCertificateInput& input, qint64 sensorNumber, QWidget* parent = nullptr);
    TCertificateInput Input() const;

    QLineEdit* edOrganisation;
    QLineEdit* edAddress;
    QDoubleSpinBox* rseAmbient;
    QSpinBox* rseHumidity;
    QLineEdit* edTechnician;
    QLineEdit* edApprover;
};
