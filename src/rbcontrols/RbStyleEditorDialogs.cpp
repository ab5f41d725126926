// The platform's dialogs behind the editor's seams.
#include "rbcontrols/RbStyleEditorDialogs.h"

#include "rbcontrols/RbColorSwatch.h"

#include <QColorDialog>
#include <QDrag>
#include <QFileDialog>
#include <QFontDialog>
#include <QMimeData>

#include <cmath>

// What the font dialog gives back; colour and character set stay as they were.
void TakeDialogFont(TRbFont& f, const QFont& q)
{
    f.SetName(q.family());
    if (q.pixelSize() > 0)
        f.SetHeight(-q.pixelSize());
    else if (q.pointSizeF() > 0)
        f.SetHeight(-int(std::lround(q.pointSizeF() * 96.0 / 72.0)));
    f.SetPitch(q.fixedPitch() ? fpFixed : fpDefault);
    TFontStyles style;
    style.setFlag(fsBold, q.bold());
    style.setFlag(fsItalic, q.italic());
    style.setFlag(fsUnderline, q.underline());
    style.setFlag(fsStrikeOut, q.strikeOut());
    f.SetStyle(style);
}

bool DefaultChooseColor(QWidget* parent, TColor& color)
{
    const QColor c = QColorDialog::getColor(ToQColor(color), parent);
    if (!c.isValid())
        return false;
    color = FromQColor(c);
    return true;
}

bool DefaultChooseFont(QWidget* parent, QFont& font)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, font, parent);
    if (ok)
        font = f;
    return ok;
}

QString RunSchemeFileDialog(QWidget* parent, bool open, const QString& title, const QString& folder,
                            const QString& preset)
{
    const QFileDialog::AcceptMode mode = open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave;
    QFileDialog dlg(parent, title, folder, QStringLiteral("RbControl Style (*.rbs)"));
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dlg.setDefaultSuffix(QStringLiteral("rbs"));
    if (!preset.isEmpty())
        dlg.selectFile(preset);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

void DefaultStartDrag(TRbColorSwatch* swatch)
{
    auto* drag = new QDrag(swatch);
    auto* data = new QMimeData;
    data->setData(TRbColorSwatch::MimeType(), swatch->objectName().toUtf8());
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

