#include "RbStyleManager.h"

#include "RbCustomControl.h"
#include "RbSplitter.h"

#include <IniFile.h>

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

// The manager's own Name and Tag head its table but are no part of a scheme.
bool IsComponentProperty(const QString& name)
{
    return name == QLatin1String("Name") || name == QLatin1String("Tag");
}

QString KindLetter(TRbPropKind kind)
{
    switch (kind) {
    case TRbPropKind::Integer: return QStringLiteral("N");
    case TRbPropKind::Enumeration: return QStringLiteral("E");
    case TRbPropKind::Set: return QStringLiteral("S");
    case TRbPropKind::String:
    case TRbPropKind::Object: break;
    }
    return QString();
}

// Writes obj's values under its own class name; owned objects are walked in
// place, so their keys appear where the object stands in the outer table.
void WriteObject(TIniFile& ini, TRbPersistent& obj, bool outermost, int depth)
{
    const QString section = TRbStyleManager::SectionName();
    const QString prefix = obj.ClassName();
    for (const TRbPropInfo& p : obj.Properties().All()) {
        if (outermost && IsComponentProperty(p.Name))
            continue;
        switch (p.Kind) {
        case TRbPropKind::Integer:
            ini.writeString(section, prefix + KindLetter(p.Kind) + p.Name, QString::number(p.GetInt(&obj)));
            break;
        case TRbPropKind::Enumeration:
            ini.writeString(section, prefix + KindLetter(p.Kind) + p.Name, RbEnumName(p, p.GetInt(&obj)));
            break;
        case TRbPropKind::Set:
            ini.writeString(section, prefix + KindLetter(p.Kind) + p.Name, RbSetToString(p, p.GetInt(&obj)));
            break;
        case TRbPropKind::Object:
            // Owned objects do not own further objects; the bound only guards
            // against a table that would refer back to its owner.
            if (depth < 4)
                if (TRbPersistent* child = p.GetObject(&obj))
                    WriteObject(ini, *child, false, depth + 1);
            break;
        case TRbPropKind::String:
            break; // the font's face name stays out of schemes
        }
    }
}

// A file key names its target by class name; the candidates are the manager
// and the objects it owns, in table order.
struct TKeyTarget {
    QString prefix;
    TRbPersistent* object;
};

// Sets one value by the key's kind letter; the letter must match the kind
// of the property, anything else is skipped like an unknown name. The value
// is only read for a key that names a property.
template <class ValueOf>
bool SetFromKey(TRbPersistent& target, const QString& kindAndName, ValueOf valueOf, QString* error)
{
    const QChar kind = kindAndName.at(0);
    const TRbPropInfo* p = target.Properties().Find(kindAndName.mid(1));
    if (!p || !p->SetInt)
        return true;
    if (kind == QLatin1Char('N')) {
        if (p->Kind != TRbPropKind::Integer)
            return true;
        bool ok = false;
        const int v = valueOf().trimmed().toInt(&ok, 10);
        p->SetInt(&target, ok ? v : 0);
    } else if (kind == QLatin1Char('E')) {
        if (p->Kind != TRbPropKind::Enumeration)
            return true;
        const QString value = valueOf().trimmed();
        int ord = 0;
        if (!RbEnumValue(*p, value, &ord)) {
            if (error)
                *error = RbInvalidPropertyElement(value);
            return false;
        }
        p->SetInt(&target, ord);
    } else if (kind == QLatin1Char('S')) {
        if (p->Kind != TRbPropKind::Set)
            return true;
        int bits = 0;
        QString bad;
        if (!RbStringToSet(*p, valueOf(), &bits, &bad)) {
            if (error)
                *error = RbInvalidPropertyElement(bad);
            return false;
        }
        p->SetInt(&target, bits);
    }
    return true;
}

// Scheme files hold a few dozen lines; anything far larger is no scheme and
// would only cost memory.
constexpr qint64 kMaxSchemeFileSize = 1024 * 1024;

bool IsLayeredClickable(const QString& className)
{
    return className == QLatin1String("TRbButton") || className == QLatin1String("TRbCheckBox")
        || className == QLatin1String("TRbRadioButton");
}

// The control property that receives a manager property. A splitter's only
// colour set is its Colors, which take the manager's SplitterColors.
QString ReceiverName(const QString& controlClass, const QString& managerProperty)
{
    if (controlClass == QLatin1String("TRbSplitter")) {
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
    m_showFocusRect = true;
    m_hotTrack = false;
    m_gradientBorder = true;
    m_textShadow = true;
    m_checkColor = clGreen;
    m_fadeSpeed = fsMedium;
    m_panelColor = 14933983;
    m_borderColor = clGray;
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
    f.SetStyle(0);
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
    m_showFocusRect = false;
    m_hotTrack = true;
    m_gradientBorder = true;
    m_textShadow = false;
    m_checkColor = 2855225;
    m_fadeSpeed = fsFast;
    m_panelColor = 14215660;
    m_borderColor = 5193252;
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

void TRbStyleManager::RegisterControl(TRbPersistent* control)
{
    if (control && !m_controls.contains(control))
        m_controls.append(control);
}

void TRbStyleManager::UnregisterControl(TRbPersistent* control)
{
    if (m_destroying)
        return;
    m_controls.removeAll(control);
}

// ---- copying

bool TRbStyleManager::Assign(const TRbPersistent& source, QString* error)
{
    auto* src = dynamic_cast<const TRbStyleManager*>(&source);
    if (!src)
        return TRbPersistent::Assign(source, error);
    if (src == this)
        return true;
    m_colors.Assign(src->m_colors);
    m_splitterColors.Assign(src->m_splitterColors);
    m_showFocusRect = src->m_showFocusRect;
    m_hotTrack = src->m_hotTrack;
    m_gradientBorder = src->m_gradientBorder;
    m_checkColor = src->m_checkColor;
    m_font.Assign(src->m_font);
    m_fadeSpeed = src->m_fadeSpeed;
    m_panelColor = src->m_panelColor;
    m_borderColor = src->m_borderColor;
    m_textShadow = src->m_textShadow;
    return true;
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
    WriteObject(ini, *this, true, 0);
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

    QVector<TKeyTarget> targets{{ClassName(), this}};
    for (const TRbPropInfo& p : Table().All())
        if (p.Kind == TRbPropKind::Object)
            if (TRbPersistent* o = p.GetObject(this))
                targets.push_back({o->ClassName(), o});

    // Each lookup walks the section; a damaged file that repeats keys must
    // not make the load quadratic in its length.
    QHash<QString, QString> values;
    QString prefix;
    TRbPersistent* target = nullptr;
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
        if (!target || k.isEmpty())
            continue;
        const QString key = prefix + k;
        auto valueOf = [&] {
            const QString folded = key.toCaseFolded();
            auto it = values.constFind(folded);
            if (it == values.constEnd())
                it = values.insert(folded, ini.readString(section, key));
            return *it;
        };
        if (!SetFromKey(*target, k, valueOf, error))
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
    const QList<TRbPersistent*> controls = m_controls;
    for (TRbPersistent* c : controls)
        if (m_controls.contains(c))
            ApplyTo(*c);
}

void TRbStyleManager::ApplyTo(TRbPersistent& control)
{
    const TRbPropertyTable& table = control.Properties();
    const QString cls = control.ClassName();

    if (cls == QLatin1String("TRbPanel"))
        if (const TRbPropInfo* p = table.Find(QStringLiteral("Color")); p && p->Kind == TRbPropKind::Integer && p->SetInt)
            p->SetInt(&control, m_panelColor);

    if (const TRbPropInfo* p = table.Find(QStringLiteral("Font")); p && p->Kind == TRbPropKind::Object)
        if (TRbPersistent* f = p->GetObject(&control))
            f->Assign(m_font);

    for (const TRbPropInfo& mp : Table().All()) {
        if (IsComponentProperty(mp.Name) || mp.Name == QLatin1String("Font"))
            continue;
        const QString name = ReceiverName(cls, mp.Name);
        if (name.isEmpty())
            continue;
        const TRbPropInfo* cp = table.Find(name);
        if (!cp || cp->Kind != mp.Kind)
            continue;
        if (mp.Kind == TRbPropKind::Object) {
            TRbPersistent* dst = cp->GetObject(&control);
            TRbPersistent* src = mp.GetObject(this);
            if (dst && src)
                dst->Assign(*src); // raw copy: the rebuild below shows it
        } else if (cp->SetInt) {
            cp->SetInt(&control, mp.GetInt(this));
        }
    }

    if (IsLayeredClickable(cls)) {
        if (auto* c = dynamic_cast<TRbCustomControl*>(&control))
            c->RebuildLayers();
    } else if (auto* s = dynamic_cast<TRbSplitter*>(&control)) {
        s->RebuildLayers();
    }
}

// ---- named properties

const TRbPropertyTable& TRbStyleManager::Table()
{
    using C = TRbStyleManager;
    static const TRbPropertyTable t = TRbPropertyTable()
        .String<C>("Name", &C::Name, &C::SetName)
        .Integer<C>("Tag", &C::Tag, &C::SetTag)
        .Object<C>("Colors", [](C& m) -> TRbPersistent* { return &m.Colors(); })
        .Boolean<C>("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect)
        .Boolean<C>("HotTrack", &C::HotTrack, &C::SetHotTrack)
        .Boolean<C>("GradientBorder", &C::GradientBorder, &C::SetGradientBorder)
        .Boolean<C>("TextShadow", &C::TextShadow, &C::SetTextShadow)
        .Integer<C>("CheckColor", &C::CheckColor, &C::SetCheckColor)
        .Enumeration<C, TFadeSpeed>("FadeSpeed", FadeSpeedNames(), &C::FadeSpeed, &C::SetFadeSpeed)
        .Integer<C>("PanelColor", &C::PanelColor, &C::SetPanelColor)
        .Integer<C>("BorderColor", &C::BorderColor, &C::SetBorderColor)
        .Object<C>("SplitterColors", [](C& m) -> TRbPersistent* { return &m.SplitterColors(); })
        .Object<C>("Font", [](C& m) -> TRbPersistent* { return &m.Font(); });
    return t;
}
