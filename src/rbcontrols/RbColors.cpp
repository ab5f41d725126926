#include "rbcontrols/RbColors.h"

#include "rbcontrols/RbMetaProperties.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// System colour index -> the palette role that plays its part here.
QPalette::ColorRole RoleOf(int index, QPalette::ColorGroup* group)
{
    *group = QPalette::Active;
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_INFOBK:
        return index == COLOR_INFOBK ? QPalette::ToolTipBase : QPalette::Base;
    case COLOR_WINDOWTEXT:
    case COLOR_MENUTEXT:
    case COLOR_CAPTIONTEXT:
        return QPalette::WindowText;
    case COLOR_BTNFACE:
    case COLOR_MENU:
    case COLOR_MENUBAR:
    case COLOR_SCROLLBAR:
    case COLOR_ACTIVEBORDER:
    case COLOR_INACTIVEBORDER:
        return QPalette::Button;
    case COLOR_BTNTEXT:
        return QPalette::ButtonText;
    case COLOR_BTNSHADOW:
        return QPalette::Dark;
    case COLOR_BTNHIGHLIGHT:
        return QPalette::Light;
    case COLOR_3DDKSHADOW:
    case COLOR_WINDOWFRAME:
        return QPalette::Shadow;
    case COLOR_3DLIGHT:
        return QPalette::Midlight;
    case COLOR_HIGHLIGHT:
    case COLOR_MENUHILIGHT:
    case COLOR_ACTIVECAPTION:
    case COLOR_GRADIENTACTIVECAPTION:
        return QPalette::Highlight;
    case COLOR_HIGHLIGHTTEXT:
        return QPalette::HighlightedText;
    case COLOR_GRAYTEXT:
    case COLOR_INACTIVECAPTIONTEXT:
        *group = QPalette::Disabled;
        return QPalette::WindowText;
    case COLOR_INFOTEXT:
        return QPalette::ToolTipText;
    case COLOR_HOTLIGHT:
        return QPalette::Link;
    case COLOR_INACTIVECAPTION:
    case COLOR_GRADIENTINACTIVECAPTION:
        return QPalette::Mid;
    default: // desktop, application work space and anything unknown
        return QPalette::Window;
    }
}

} // namespace

TRgb ResolveColor(TColor c)
{
    if (c >= 0)
        return TRgb{std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF), std::uint8_t((c >> 16) & 0xFF)};
    QPalette::ColorGroup group;
    const QPalette::ColorRole role = RoleOf(c & 0xFF, &group);
    const QColor q = QGuiApplication::palette().color(group, role);
    return TRgb{std::uint8_t(q.red()), std::uint8_t(q.green()), std::uint8_t(q.blue())};
}

QColor ToQColor(TColor c)
{
    const TRgb rgb = ResolveColor(c);
    return QColor(rgb.r, rgb.g, rgb.b);
}

TColor FromQColor(const QColor& c)
{
    return RGBColor(c.red(), c.green(), c.blue());
}

// ---- colour sets

TRbCustomColors::TRbCustomColors(IRbColorsOwner* owner) : m_owner(owner) {}

bool TRbCustomColors::Store(TColor& field, TColor value, bool rebuild)
{
    if (field == value)
        return false;
    field = value;
    if (m_owner) {
        if (rebuild)
            m_owner->ColorsRebuild();
        else
            m_owner->ColorsRepaint();
    }
    return true;
}

QList<TColor> TRbCustomColors::Values() const
{
    QList<TColor> values;
    const QMetaObject* meta = metaObject();
    for (int i = staticMetaObject.propertyOffset(); i < meta->propertyCount(); ++i)
        values << meta->property(i).read(this).toInt();
    return values;
}

void TRbCustomColors::NotifyChanges(const QList<TColor>& before)
{
    const QList<TColor> after = Values();
    const QMetaObject* meta = metaObject();
    for (int i = 0; i < after.size() && i < before.size(); ++i)
        if (after[i] != before[i])
            meta->property(staticMetaObject.propertyOffset() + i).notifySignal().invoke(this, Qt::DirectConnection);
}

void TRbCustomColors::CopyBase(const TRbCustomColors& src)
{
    m_defaultFrom = src.m_defaultFrom;
    m_defaultTo = src.m_defaultTo;
    m_overFrom = src.m_overFrom;
    m_overTo = src.m_overTo;
}

bool TRbCustomColors::Assign(const QObject& source, QString* error)
{
    // Any colour set gives its four base values to any colour set.
    if (auto* src = qobject_cast<const TRbCustomColors*>(&source)) {
        const QList<TColor> before = Values();
        CopyBase(*src);
        NotifyChanges(before);
        return true;
    }
    if (error)
        *error = RbCannotAssign(QString::fromLatin1(source.metaObject()->className()),
                                QString::fromLatin1(metaObject()->className()));
    return false;
}

bool TRbControlColors::Assign(const QObject& source, QString* error)
{
    if (auto* src = qobject_cast<const TRbControlColors*>(&source)) {
        const QList<TColor> before = Values();
        CopyBase(*src);
        m_clickedFrom = src->m_clickedFrom;
        m_clickedTo = src->m_clickedTo;
        m_hotTrack = src->m_hotTrack;
        m_borderColor = src->m_borderColor;
        m_textShadow = src->m_textShadow;
        NotifyChanges(before);
        return true;
    }
    return TRbCustomColors::Assign(source, error);
}

TRbSplitterColors::TRbSplitterColors(IRbColorsOwner* owner) : TRbCustomColors(owner)
{
    // Raw stores: a new set notifies nobody.
    TRbCustomColors defaults;
    defaults.SetDefaultFrom(clBtnFace);
    defaults.SetDefaultTo(clBtnFace);
    defaults.SetOverFrom(clWhite);
    defaults.SetOverTo(12489846);
    CopyBase(defaults);
}
