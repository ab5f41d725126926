#include "indicator/IndicatorTypes.h"

namespace {

constexpr TSchemeColors kSchemes[] = {
    // BackColor  BevelColor  NumberBack  NumberFore  NumberFore1
    {0xDDDDDD, 0xDDDDDD, 0xD3D3D3, 0x363636, 0x0000FF}, // csSilver
    {0x000000, 0xDDDDDD, 0x363636, 0xDDDDDD, 0x0000FF}, // csInvSilver
    {0xFFFFFF, 0xDDDDDD, 0xFFFFFF, 0x000000, 0x0000FF}, // csWhite
    {0x000000, 0x808080, 0x000000, 0xFFFFFF, 0x0080FF}, // csBlack
    {0x000080, 0x000080, 0x400080, 0x48BFFF, 0x80FFFF}, // csPlasma
    {0x48BFFF, 0x48BFFF, 0x57A3F7, 0x000080, 0x2747FC}, // csInvPlasma
    {0xA00000, 0xA00000, 0x804000, 0xDAF376, 0x00FFFF}, // csVarno
};

} // namespace

TSchemeColors SchemeColors(TLiquidColorScheme scheme)
{
    const int i = static_cast<int>(scheme);
    if (i < 0 || i >= int(sizeof(kSchemes) / sizeof(kSchemes[0])))
        return kSchemes[0];
    return kSchemes[i];
}
