#include "rbcontrols/RbStyleManager.h"

#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckable.h"
#include "rbcontrols/RbMetaProperties.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbSplitter.h"

#include "common/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

// The manager's own Name and Tag head its properties but are no part of a scheme.
bool IsComponentProperty(const QMetaProperty& p)
{
    return qstrcmp(p.name(), "Name") == 0 || qstrcmp(p.name(), "Tag") == 0;
}

QString KindLetter(TRbPropKind kind)
{
    switch (kind) {
    case TRbPropKind::Integer: return QStringLiteral("N");
    case TRbPropKind::Enumeration: return QStringLiteral("E");
    case TRbPropKind::Set: return QStringLiteral("S");
    case TRbPropKind::String:
    case TRbPropKind::Object:
    case TRbPropKind::Other: break;
    }
    return QString();
}

// Writes obj's values under its own class name; owned objects are walked in
// place, so their keys appear where the object stands among the outer
// properties.
void WriteObject(TIniFile& ini, const TRbStyleObject& obj, bool outermost, int depth)
{
    const QString section = TRbStyleManager::SectionName();
    const QString prefix = obj.SchemeClassName();
    for (const QMetaProperty& p : obj.Properties()) {
        if (outermost && IsComponentProperty(p))
            continue;
        const TRbPropKind kind = RbKindOf(p);
        if (kind == TRbPropKind::Object) {
            // Owned objects do not own further objects; the bound only guards
            // against a property that would refer back to its owner.
            if (const TRbStyleObject child = obj.Child(p); depth < 4 && !child.IsNull())
                WriteObject(ini, child, false, depth + 1);
        } else if (const QString letter = KindLetter(kind); !letter.isEmpty()) {
            // Strings stay out: the font's face name is no part of a scheme.
            ini.writeString(section, prefix + letter + QString::fromLatin1(p.name()), obj.ValueText(p));
        }
    }
}

// Copies every value of source onto the same-named properties of dest
// through the setters, walking owned objects in place.
void CopyValues(const TRbStyleObject& source, const TRbStyleObject& dest, bool outermost, int depth)
{
    for (const QMetaProperty& p : source.Properties()) {
        if (outermost && IsComponentProperty(p))
            continue;
        const std::optional<QMetaProperty> d = dest.Find(QString::fromLatin1(p.name()));
        if (!d || RbKindOf(*d) != RbKindOf(p))
            continue;
        if (RbKindOf(p) == TRbPropKind::Object) {
            const TRbStyleObject from = source.Child(p), to = dest.Child(*d);
            if (depth < 4 && !from.IsNull() && !to.IsNull())
                CopyValues(from, to, false, depth + 1);
        } else if (RbKindOf(p) != TRbPropKind::Other) {
            dest.Write(*d, source.Read(p));
        }
    }
}

// A file key names its target by class name; the candidates are the manager
// and the objects it owns, in property order.
struct TKeyTarget {
    QString prefix;
    TRbStyleObject object;
};

// Sets one value by the key's kind letter; the letter must match the kind
// of the property, anything else is skipped like an unknown name. The value
// is only read for a key that names a property.
template <class ValueOf>
bool SetFromKey(const TRbStyleObject& target, const QString& kindAndName, ValueOf valueOf, QString* error)
{
    const std::optional<QMetaProperty> p = target.Find(QStringView(kindAndName).mid(1));
    if (!p || !p->isWritable())
        return true;
    const QChar letter = kindAndName.at(0);
    const TRbPropKind kind = RbKindOf(*p);
    if (KindLetter(kind).isEmpty() || letter != KindLetter(kind).at(0))
        return true;
    return target.SetValueText(*p, valueOf(), error);
}

// Scheme files hold a few dozen lines; anything far larger is no scheme and
// would only cost memory.
constexpr qint64 kMaxSchemeFileSize = 1024 * 1024;

// The control property that receives a manager property. A splitter's only
// colour set is its Colors, which take the manager's SplitterColors.
QString ReceiverName(const QObject& control, const QString& managerProperty)
{
    if (qobject_cast<const TRbSplitter*>(&control)) {
        if (managerProperty == QLatin1String("Colors"))
            return QString();
        if (managerProperty == QLatin1String("SplitterColors"))
            return QStringLiteral("Colors");
    }
    return managerProperty;
}

} // namespace

TRbStyleManager::TRbStyleManager(QObject* parent) : QObject(parent)
{
    // Name is the object name, however it is set.
    connect(this, &QObject::objectNameChanged, this, &TRbStyleManager::nameChanged);
    SetClassDefaults();
}

TRbStyleManager::~TRbStyleManager()
{
    // Controls drop their reference when they hear of the destruction; their
    // unregistering on the way must not touch a list that is going away.
    m_destroying = true;
}

// ---- the three columns of values

void TRbStyleManager::SetClassDefaults()
{
    m_colors.Assign(TRbControlColors());
    SetShowFocusRect(true);
    SetHotTrack(false);
    SetGradientBorder(true);
    SetTextShadow(true);
    SetCheckColor(clGreen);
    SetFadeSpeed(fsMedium);
    SetPanelColor(14933983);
    SetBorderColor(clGray);
    m_splitterColors.Assign(TRbSplitterColors());
    m_font.Assign(TRbFont());
}

namespace {

void SetDesignFont(TRbFont& f, TColor color)
{
    f.SetCharset(1);
    f.SetColor(color);
    f.SetHeight(-11);
    f.SetName(QStringLiteral("MS Sans Serif"));
    f.SetPitch(fpDefault);
    f.SetStyle({});
}

} // namespace

void TRbStyleManager::SetMainWindowValues()
{
    m_colors.SetDefaultFrom(clWhite);
    m_colors.SetDefaultTo(13029079);
    m_colors.SetOverFrom(clWhite);
    m_colors.SetOverTo(7049912);
    m_colors.SetClickedFrom(490995);
    m_colors.SetClickedTo(13365229);
    m_colors.SetHotTrack(13500416);
    m_colors.SetBorderColor(5193252);
    m_colors.SetTextShadow(clWhite);
    SetShowFocusRect(false);
    SetHotTrack(true);
    SetGradientBorder(true);
    SetTextShadow(false);
    SetCheckColor(2855225);
    SetFadeSpeed(fsFast);
    SetPanelColor(14215660);
    SetBorderColor(5193252);
    m_splitterColors.SetDefaultFrom(14215660);
    m_splitterColors.SetDefaultTo(14215660);
    m_splitterColors.SetOverFrom(clWhite);
    m_splitterColors.SetOverTo(14215660);
    // System colour 8 in the form with the high bit only.
    SetDesignFont(m_font, TColor(0x80000008u));
}

void TRbStyleManager::SetEditorValues()
{
    SetClassDefaults();
    SetDesignFont(m_font, clWindowText);
}

// ---- registration

void TRbStyleManager::RegisterControl(QObject* control)
{
    if (control && !m_controls.contains(control))
        m_controls.append(control);
}

void TRbStyleManager::UnregisterControl(QObject* control)
{
    if (m_destroying)
        return;
    m_controls.removeAll(control);
}

// ---- copying

bool TRbStyleManager::Assign(const QObject& source, QString* error)
{
    auto* src = qobject_cast<const TRbStyleManager*>(&source);
    if (!src) {
        if (error)
            *error = RbCannotAssign(QString::fromLatin1(source.metaObject()->className()),
                                    QString::fromLatin1(metaObject()->className()));
        return false;
    }
    if (src == this)
        return true;
    m_colors.Assign(src->m_colors);
    m_splitterColors.Assign(src->m_splitterColors);
    m_font.Assign(src->m_font);
    // The plain values through their properties, so a new one is copied too.
    const TRbStyleObject from(src), to(this);
    for (const QMetaProperty& p : from.Properties())
        if (!IsComponentProperty(p) && RbKindOf(p) != TRbPropKind::Object)
            to.Write(p, from.Read(p));
    return true;
}

void CopySchemeProperties(const TRbStyleManager& source, TRbStyleManager& dest)
{
    if (&source == &dest)
        return;
    dest.SetStyleFileName(source.StyleFileName());
    CopyValues(TRbStyleObject(&source), TRbStyleObject(&dest), true, 0);
}

// ---- scheme files

bool TRbStyleManager::SaveStyle(const QString& fileName, QString* error)
{
    m_styleFileName = fileName;
    const QString failed = QStringLiteral("Unable to write to %1").arg(fileName);
    // Reading a pipe or a device first would block or never end.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile()) {
        if (error)
            *error = failed;
        return false;
    }
    TIniFile ini(fileName);
    // A file that exists but cannot be read is not overwritten: its other
    // sections would be lost.
    if (!ini.load()) {
        if (error)
            *error = failed;
        return false;
    }
    WriteObject(ini, TRbStyleObject(this), true, 0);
    if (!ini.save()) {
        if (error)
            *error = failed;
        return false;
    }
    return true;
}

bool TRbStyleManager::LoadStyle(const QString& fileName, QString* error)
{
    m_styleFileName = fileName;
    // The fixed texts first; where they alone would mislead (a folder, a
    // pipe, a device, an oversized or unreadable file), which file and why.
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir()) {
        if (error) {
            *error = QStringLiteral("File not exists!");
            if (info.isDir())
                *error += QStringLiteral("\n%1: это папка, а не файл").arg(QDir::toNativeSeparators(fileName));
        }
        return false;
    }
    TIniFile ini(QString{});
    ini.setFileName(fileName);
    QString reason;
    if (!ini.loadAtMost(kMaxSchemeFileSize, &reason)) {
        if (error)
            *error = QStringLiteral("Empty or invalid file\n%1: %2").arg(QDir::toNativeSeparators(fileName), reason);
        return false;
    }
    const QString section = SectionName();
    const QStringList keys = ini.sectionKeys(section);
    if (keys.isEmpty()) {
        if (error)
            *error = QStringLiteral("Empty or invalid file");
        return false;
    }

    const TRbStyleObject self(this);
    QVector<TKeyTarget> targets{{self.SchemeClassName(), self}};
    for (const QMetaProperty& p : self.Properties())
        if (const TRbStyleObject o = self.Child(p); !o.IsNull())
            targets.push_back({o.SchemeClassName(), o});

    // Each lookup walks the section; a damaged file that repeats keys must
    // not make the load quadratic in its length.
    QHash<QString, QString> values;
    QString prefix;
    TRbStyleObject target;
    for (QString k : keys) {
        // A key without a class name keeps the prefix and target of the
        // nearest earlier one.
        for (const TKeyTarget& t : targets)
            if (k.contains(t.prefix)) {
                prefix = t.prefix;
                target = t.object;
                k = k.mid(t.prefix.size());
            }
        // Malformed keys: no class name seen yet, or a class name alone.
        if (target.IsNull() || k.isEmpty())
            continue;
        const QString key = prefix + k;
        auto valueOf = [&] {
            const QString folded = key.toCaseFolded();
            auto it = values.constFind(folded);
            if (it == values.constEnd())
                it = values.insert(folded, ini.readString(section, key));
            return *it;
        };
        if (!SetFromKey(target, k, valueOf, error))
            return false;
    }
    return true;
}

// ---- application

void TRbStyleManager::ApplyStyle()
{
    if (m_loading)
        return;
    // A control may leave the list while it restyles; walk a copy.
    const QList<QObject*> controls = m_controls;
    for (QObject* c : controls)
        if (m_controls.contains(c))
            ApplyTo(*c);
}

void TRbStyleManager::ApplyTo(QObject& control)
{
    const TRbStyleObject target(&control);

    if (auto* panel = qobject_cast<TRbPanel*>(&control))
        panel->SetColor(m_panelColor);

    if (const std::optional<QMetaProperty> p = target.Find(u"Font"); p && RbKindOf(*p) == TRbPropKind::Object)
        if (auto* font = qobject_cast<TRbFont*>(target.Child(*p).Object()))
            font->Assign(m_font);

    const TRbStyleObject self(this);
    for (const QMetaProperty& mp : self.Properties()) {
        const QString managerName = QString::fromLatin1(mp.name());
        if (IsComponentProperty(mp) || managerName == QLatin1String("Font"))
            continue;
        const QString name = ReceiverName(control, managerName);
        if (name.isEmpty())
            continue;
        const std::optional<QMetaProperty> cp = target.Find(name);
        const TRbPropKind kind = RbKindOf(mp);
        if (!cp || RbKindOf(*cp) != kind)
            continue;
        if (kind == TRbPropKind::Object) {
            // Raw copy of a colour set: the rebuild below shows it.
            auto* dst = qobject_cast<TRbCustomColors*>(target.Child(*cp).Object());
            if (QObject* src = self.Child(mp).Object(); dst && src)
                dst->Assign(*src);
        } else {
            target.Write(*cp, self.Read(mp));
        }
    }

    // Panels rebuild through their setters; progress bars only repaint.
    if (qobject_cast<TRbButton*>(&control) || qobject_cast<TRbCheckable*>(&control)
        || qobject_cast<TRbSplitter*>(&control))
        static_cast<TRbCustomControl&>(control).RebuildLayers();
}
