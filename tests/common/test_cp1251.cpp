#include "common/Cp1251.h"

#include <gtest/gtest.h>

TEST(Cp1251, CyrillicAndSignsMapBothWays)
{
    const QString text = QStringLiteral("Ёлка ё №5 °С «Зелкор» — Ўў");
    const QByteArray bytes = toCp1251(text);
    ASSERT_EQ(bytes.size(), text.size());
    EXPECT_EQ(uint8_t(bytes[0]), 0xA8);           // Ё
    EXPECT_EQ(uint8_t(bytes[1]), 0xEB);           // л
    EXPECT_EQ(uint8_t(bytes[5]), 0xB8);           // ё
    EXPECT_EQ(uint8_t(bytes[7]), 0xB9);           // №
    EXPECT_EQ(uint8_t(bytes[10]), 0xB0);          // °
    EXPECT_EQ(uint8_t(bytes[11]), 0xD1);          // С
    EXPECT_EQ(fromCp1251(bytes), text);
}

TEST(Cp1251, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(toCp1251(fromCp1251(all)), all);
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(toCp1251(QStringLiteral("a漢b")), QByteArray("a?b"));
}
