#include "indicator/IndicatorRender.h"

#include <QPainter>

namespace {

// Faces of each octant: first pair, then second pair.
const TBevelFace kFaceOrder[8][4] = {
    {bfTop, bfLeft, bfBottom, bfRight},  // 1
    {bfTop, bfRight, bfLeft, bfBottom},  // 2
    {bfTop, bfRight, bfLeft, bfBottom},  // 3
    {bfBottom, bfRight, bfTop, bfLeft},  // 4
    {bfBottom, bfRight, bfTop, bfLeft},  // 5
    {bfLeft, bfBottom, bfRight, bfTop},  // 6
    {bfLeft, bfBottom, bfRight, bfTop},  // 7
    {bfTop, bfLeft, bfBottom, bfRight},  // 8
};

class TPainterJob {
public:
    TPainterJob(const TRenderInput& in, TRenderOutput& out)
        : in(in), out(out), bounds(out.Buffer.rect()),
          backMaterial(in.BackMaterial && MaterialPresent(*in.BackMaterial) && in.Derived)
    {
    }

    void Run()
    {
        Background();
        const int octant = LightingOctant(in.Frame.Angle);
        const int W = in.Frame.W;
        const int H = in.Frame.H;
        if (in.OuterBevel != bkNone)
            Bevel(OuterBevelFaces(W, H, in.OuterBevelWidth), in.OuterBevel, octant);
        if (in.InnerBevel != bkNone) {
            const int p = in.OuterBevel == bkNone ? 0 : in.OuterBevelWidth;
            Bevel(InnerBevelFaces(W, H, p, in.InnerBevelWidth), in.InnerBevel, octant);
        }
        LitElements();
        UnlitElements();
    }

private:
    void Collect(const QRegion& region)
    {
        if (out.HasClip)
            out.Clip = out.Clip.united(region);
    }

    void FillMaterialIn(const QRegion& region, const QImage& material, TLiquidMaterialMode mode)
    {
        QPainter p(&out.Buffer);
        p.setClipRegion(region);
        FillWithMaterial(p, material, out.Buffer.size(), mode);
    }

    void Background()
    {
        if (backMaterial) {
            out.Buffer.fill(Qt::black);
            QPainter p(&out.Buffer);
            FillWithMaterial(p, *in.BackMaterial, out.Buffer.size(), in.MaterialMode);
        } else {
            out.Buffer.fill(ColorToRgb(in.BackColor));
        }
    }

    void Face(TQuad face, bool light)
    {
        PlacePoints(face.data(), 4, in.Frame);
        const QRegion region = PolygonRegion(face, bounds);
        Collect(region);
        if (backMaterial)
            FillMaterialIn(region, light ? in.Derived->Light : in.Derived->Dark, in.MaterialMode);
        else
            FillRegion(out.Buffer, region, ColorToRgb(light ? LighterColor(in.BevelColor) : DarkerColor(in.BevelColor)));
    }

    void Bevel(const std::array<TQuad, 4>& faces, TLiquidBevelKind kind, int octant)
    {
        const TBevelFace* order = kFaceOrder[octant - 1];
        const bool firstLight = kind == bkUP;
        for (int k = 0; k < 4; ++k)
            Face(faces[order[k]], k < 2 ? firstLight : !firstLight);
    }

    void LitElements()
    {
        if (out.Lit.Count() == 0)
            return;
        const QRegion region = PolygonRegion(out.Lit, bounds);
        Collect(region);
        const bool fore = in.ForeMaterial && MaterialPresent(*in.ForeMaterial);
        if (!fore || in.HoverColor)
            FillRegion(out.Buffer, region, ColorToRgb(in.HoverColor ? in.NumberForeColor1 : in.NumberForeColor));
        else
            FillMaterialIn(region, *in.ForeMaterial, in.ForeMaterialMode);
    }

    void UnlitElements()
    {
        if (out.Unlit.Count() == 0)
            return;
        const QRegion region = PolygonRegion(out.Unlit, bounds);
        if (in.TransparentMode == tmBackOnly)
            Collect(region);
        if (backMaterial)
            FillMaterialIn(region, in.Derived->Shadow, in.MaterialMode);
        else
            FillRegion(out.Buffer, region, ColorToRgb(in.NumberBackColor));
    }

    const TRenderInput& in;
    TRenderOutput& out;
    const QRect bounds;
    const bool backMaterial;
};

} // namespace

void RenderIndicator(const TRenderInput& in, TRenderOutput& out)
{
    out.Clip = QRegion();
    out.HasClip = in.TransparentMode != tmNone;

    TGlyphParams glyphs;
    glyphs.Frame = in.Frame;
    glyphs.SignNumber = in.SignNumber;
    glyphs.Margin = IndicatorMargin(in.Gap, in.OuterBevel, in.OuterBevelWidth, in.InnerBevel, in.InnerBevelWidth);
    glyphs.Style = in.Glyphs;
    BuildGlyphPolygons(glyphs, in.Text, out.Lit, out.Unlit);

    const QSize size(std::max(in.Frame.Width, 0), std::max(in.Frame.Height, 0));
    if (out.Buffer.size() != size || out.Buffer.format() != QImage::Format_RGB32)
        out.Buffer = QImage(size, QImage::Format_RGB32);
    if (out.Buffer.isNull())
        return;
    TPainterJob(in, out).Run();
}
